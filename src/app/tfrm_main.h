#pragma once

#include <QMainWindow>

#include <memory>

struct AppContext;
class QAction;
namespace Ui
{
class Tfrm_main;
}

// The main window: connects the alias, runs the login, and opens every task from its menu.
class Tfrm_main : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tfrm_main(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_main() override;

    // The update address from the URL file; empty when the file has no URL line.

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Offers a new installation when the run has none to open; false when there is none.
    bool offerInstallation();
    void connectAlias();
    void checkPrisonService();
    void applyRights();
    void updateCaption();
    // True when a newer version was found and started: the program ends.
    bool checkForUpdate();
    void connectMenu();
    void openHelp(bool search);
    void openAbout();
    void openTechnical(int mode);
    void openFoglalk();
    void openJelent(bool making);
    void openIsmetel();
    void openKulso();

    std::unique_ptr<Ui::Tfrm_main> ui;
    AppContext &m_context;
    bool m_firstShow = true;
    bool m_declined = false; // no installation, and none was made
};
