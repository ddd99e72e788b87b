#pragma once

#include "userstore.h"

#include <QDialog>

#include <memory>

struct AppContext;
class QStandardItemModel;
namespace Ui
{
class Tfrm_felhasznalok;
}

// The users who may log in: the list, and a record panel to view, record and change them.
class Tfrm_felhasznalok : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_felhasznalok(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_felhasznalok() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum class Mode { View, New, Modify };
    void FormShow();
    void viewMode();
    void bbtn_ujClick();
    void bbtn_modositClick();
    void MentClick();
    void Rogzit();
    void saveModified();
    void Mentheto();
    void reload(int selectId);
    void showCurrent();
    const UserStore::User *current() const;
    void message(const QString &text, bool error = false);

    std::unique_ptr<Ui::Tfrm_felhasznalok> ui;
    AppContext &m_context;
    QStandardItemModel *m_model;
    QList<UserStore::User> m_users;
    Mode m_mode = Mode::View;
    bool m_shown = false;
};
