#pragma once

#include <QDialog>

#include <memory>

struct AppContext;
class FieldExit;
class PagedQueryModel;
class QStandardItemModel;
namespace Ui
{
class Tfrm_dolgozo;
}

// The insured persons: the list in name or TAJ order with its search, the person's data and
// relations, and for an administrator the correction of the names and the birth date.
class Tfrm_dolgozo : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_dolgozo(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_dolgozo() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void viewMode();
    void cbx_rendezChange();
    void ed_keresChange();
    void personMoved();
    void titleMoved();
    void bbtn_modositClick();
    void bbtn_mentClick();
    void bbtn_megseClick();
    void showPerson(int row);
    void goToRow(int row);
    bool checkField(QWidget *field);
    QString currentTaj() const;
    void message(const QString &text, bool error = false);

    std::unique_ptr<Ui::Tfrm_dolgozo> ui;
    AppContext &m_context;
    PagedQueryModel *m_persons;
    QStandardItemModel *m_titles;
    QList<QVariantMap> m_titleRows;
    FieldExit *m_exit;
    bool m_modify = false;
    bool m_following = false; // the lists follow each other once the window is up
    bool m_shown = false;
};
