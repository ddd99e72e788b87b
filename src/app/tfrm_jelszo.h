#pragma once

#include <QDialog>

#include <memory>

struct AppContext;
namespace Ui
{
class Tfrm_jelszo;
}

// The login window: user name and password, then the structure check and, on a database of the
// previous version, the upgrade.
class Tfrm_jelszo : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_jelszo(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_jelszo() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bbtn_okClick();
    void bbtn_megseClick();
    void focusRule();
    void finish(bool mayContinue);
    void upgrade(bool addPersonNames);

    std::unique_ptr<Ui::Tfrm_jelszo> ui;
    AppContext &m_context;
};
