#include "tfrm_main.h"
#include "ui_tfrm_main.h"

#include "aliasconfig.h"
#include "aliassetup.h"
#include "appcontext.h"
#include "employerstore.h"
#include "prompter.h"
#include "referenceloader.h"
#include "tfrm_about.h"
#include "tfrm_atvetel.h"
#include "tfrm_beallit.h"
#include "tfrm_bvop.h"
#include "tfrm_dolgozo.h"
#include "tfrm_felhasznalok.h"
#include "tfrm_foglalk.h"
#include "tfrm_frissit.h"
#include "tfrm_ismetel.h"
#include "tfrm_jelent.h"
#include "tfrm_jelszo.h"
#include "tfrm_kulso.h"
#include "tfrm_status.h"
#include "tfrm_sugo.h"
#include "tfrm_technikai.h"
#include "tfrm_telepites.h"
#include "updatesite.h"
#include "waitcursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTimer>

namespace
{
const QString ConnectionFailed =
    QStringLiteral("A kapcsolódás NEM sikerült !\n\rAz adatbázis nem létezik .");

QPixmap logo()
{
    QPixmap pix(120, 120);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 4));
    p.setBrush(QColor(0xe8, 0xef, 0xf8));
    p.drawEllipse(4, 4, 112, 112);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRect(50, 24, 20, 72);
    p.drawRect(24, 50, 72, 20);
    return pix;
}
} // namespace

Tfrm_main::Tfrm_main(AppContext &context, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tfrm_main>()), m_context(context)
{
    ui->setupUi(this);
    ui->img_logo->setPixmap(logo());
    ui->mn_export->setVisible(false);
    ui->mn_evvaltas->setVisible(false);
    connectMenu();

    m_context.run.initialise();
    // Steps that fail stop here: the window is still made, and closes when shown.
    if (!offerInstallation()) {
        m_declined = true;
        return;
    }
    connectAlias();
    if (m_context.data.isConnected()) {
        Tfrm_jelszo login(m_context, this);
        login.exec();
        ui->lbl_user->setText(m_context.run.userName);
        checkPrisonService();
    }
}

Tfrm_main::~Tfrm_main() = default;

bool Tfrm_main::offerInstallation()
{
    Installation &installation = m_context.installation;
    // Without a folder named for the run, an existing alias says where the data are.
    if (installation.isInstalled() ||
        (!installation.homeGiven() && AliasConfig().exists(DataModule::Alias)))
        return true;
    const QString folder = QDir::toNativeSeparators(installation.home());
    const QString command = QStringLiteral("tarvik --init --home ") + folder;
    Prompter &prompter = Prompter::instance();
    if (prompter.question(this, QStringLiteral("Ebben a mappában nincs Tarvik telepítés :\n\r") +
                                    folder +
                                    QStringLiteral("\n\rLétrehozza most az új telepítést ?"
                                                   "\n\r(Parancssorból : ") +
                                    command + u')') != Prompter::Yes) {
        prompter.message(this, QStringLiteral("A program telepítés nélkül nem indítható el.\n\r"
                                              "Új telepítés parancssorból : ") +
                                   command);
        return false;
    }
    Tfrm_telepites dialog(installation.home(), this);
    if (prompter.runDialog(&dialog) != QDialog::Accepted) return false;
    QString error;
    bool made = false;
    {
        WaitCursor busy;
        made = installation.create(dialog.password(), &error);
        // The bundled reference files come with it, as with a new installation from the
        // command line.
        if (made && m_context.data.connect(installation.dataFolder(), &error)) {
            const ReferenceLoader::Result r = ReferenceLoader(m_context.data).loadBundled();
            if (!r.ok) error = r.error;
            made = r.ok;
            // An older installation's data can come into the new one at once.
            if (made && dialog.takeOver()) {
                Tfrm_atvetel takeOver(m_context.data, installation, this);
                prompter.runDialog(&takeOver);
            }
            m_context.data.disconnect();
        }
    }
    if (!made) {
        prompter.message(this, QStringLiteral("A telepítés nem sikerült :\n\r") + error,
                         Prompter::Icon::Error);
        return false;
    }
    return true;
}

void Tfrm_main::connectAlias()
{
    const Installation &installation = m_context.installation;
    // A folder named for this run is opened as it is; the alias is for runs without one.
    if (installation.homeGiven()) {
        if (!m_context.data.connect(installation.dataFolder()))
            Prompter::instance().message(this, ConnectionFailed, Prompter::Icon::Error);
        return;
    }
    AliasConfig aliases;
    const AliasSetup alias = AliasSetup::run(aliases);
    if (!alias.message.isEmpty())
        Prompter::instance().message(this, alias.message, Prompter::Icon::Warning);
    if (!alias.saved || !m_context.data.connect(alias.dataFolder))
        Prompter::instance().message(this, ConnectionFailed, Prompter::Icon::Error);
}

void Tfrm_main::checkPrisonService()
{
    const auto active = EmployerStore(m_context.data).prisonServiceActive();
    if (!active) {
        Prompter::instance().message(this, ConnectionFailed, Prompter::Icon::Error);
        return;
    }
    m_context.run.prisonService = *active;
    ui->mn_spec->menuAction()->setVisible(m_context.run.prisonService);
}

void Tfrm_main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow) return;
    m_firstShow = false;
    if (m_declined) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    RunState &run = m_context.run;
    const QString urlFile = m_context.installation.urlFile();
    if (QFileInfo::exists(urlFile)) {
        run.updateUrl = UpdateSite::readUrlFile(urlFile);
    } else {
        Prompter::instance().message(this,
                                     QStringLiteral("Hiányzik a következő fájl : oep_tarvik.url "),
                                     Prompter::Icon::Error);
        run.mayContinue = false;
    }
    if (!run.mayContinue || checkForUpdate()) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    ui->lbl_fnev->setText(run.userFamilyName + u' ' + run.userGivenName);
    updateCaption();
    applyRights();
    ui->lbl_jog->setText(run.rightsLevel >= 1 && run.rightsLevel <= 3
                             ? RunState::rightsLevelName(run.rightsLevel)
                             : QString());
}

bool Tfrm_main::checkForUpdate()
{
    const RunState &run = m_context.run;
    if (run.updateUrl.isEmpty()) return false;
    UpdateSite::StartCheck check;
    {
        Tfrm_status status(this);
        status.show();
        status.setText(QStringLiteral("Verzió ellenőrzés indul..."));
        WaitCursor busy;
        // A site that does not answer holds the start for a few seconds at most.
        check = UpdateSite::checkAtStart(run.updateUrl, run.version, run.processorArchitecture,
                                         m_context.installation.home());
    }
    Prompter &prompter = Prompter::instance();
    // Only a verified installer leads to a word at start: whatever else the site sent (a page,
    // nothing, a bad signature) is left for the update window to report.
    if (check.installer.isEmpty()) return false;
    prompter.message(
        this, QStringLiteral("Van új program verzió !\n\rFrissítés automatikusan elindul..."));
    if (Launcher::instance().startAndQuit(check.installer)) return true;
    prompter.message(this, UpdateSite::installerNotStarted(check.installer),
                     Prompter::Icon::Warning);
    return false;
}

void Tfrm_main::updateCaption()
{
    const RunState &run = m_context.run;
    setWindowTitle(QStringLiteral("OEP - Munkáltatói jelentést készítő program   V") + run.version +
                   QStringLiteral(";  Dátum : ") + run.year + u'.' + run.month + u'.' + run.day);
}

void Tfrm_main::applyRights()
{
    const bool allowed = m_context.run.rightsLevel >= 2;
    for (QAction *item : {ui->mn_kulso, ui->mn_mentes, ui->mn_torzs, ui->mn_rogzit, ui->mn_keszit,
                          ui->mn_karbantart, ui->mn_beallit})
        item->setEnabled(allowed);
    // Taking over an older installation replaces the users: the administrator's task.
    ui->mn_atvetel->setEnabled(m_context.run.rightsLevel >= 3);
}

void Tfrm_main::connectMenu()
{
    connect(ui->mn_kilepes, &QAction::triggered, this, &QWidget::close);
    connect(ui->mn_tartalom, &QAction::triggered, this, [this] { openHelp(false); });
    connect(ui->mn_kereses, &QAction::triggered, this, [this] { openHelp(true); });
    connect(ui->mn_nevjegy, &QAction::triggered, this, &Tfrm_main::openAbout);
    const QList<QPair<QAction *, int>> technical = {
        {ui->mn_karbantart, Tfrm_technikai::Maintenance},
        {ui->mn_torzs, Tfrm_technikai::Refresh},
        {ui->mn_mentes, Tfrm_technikai::Backup},
        {ui->mn_evvaltas, Tfrm_technikai::YearChange},
        {ui->mn_export, Tfrm_technikai::ExportImport}};
    for (const auto &[item, mode] : technical)
        connect(item, &QAction::triggered, this, [this, mode = mode] { openTechnical(mode); });
    connect(ui->mn_foglalk, &QAction::triggered, this, &Tfrm_main::openFoglalk);
    connect(ui->mn_rogzit, &QAction::triggered, this, [this] { openJelent(false); });
    connect(ui->mn_keszit, &QAction::triggered, this, [this] { openJelent(true); });
    connect(ui->mn_ismetel, &QAction::triggered, this, &Tfrm_main::openIsmetel);
    connect(ui->mn_kulso, &QAction::triggered, this, &Tfrm_main::openKulso);
    connect(ui->mn_bvop, &QAction::triggered, this, [this] {
        Tfrm_bvop window(m_context, this);
        window.exec();
    });
    connect(ui->mn_karbantartas, &QAction::triggered, this, [this] {
        Tfrm_felhasznalok window(m_context, this);
        window.exec();
    });
    connect(ui->mn_dolgozo, &QAction::triggered, this, [this] {
        Tfrm_dolgozo window(m_context, this);
        window.exec();
    });
    connect(ui->mn_frissit, &QAction::triggered, this, [this] {
        Tfrm_frissit window(m_context, this);
        window.exec();
    });
    connect(ui->mn_beallit, &QAction::triggered, this, [this] {
        Tfrm_beallit window(m_context, this);
        window.exec();
    });
    connect(ui->mn_atvetel, &QAction::triggered, this, [this] {
        Tfrm_atvetel window(m_context.data, m_context.installation, this);
        Prompter::instance().runDialog(&window);
    });
}

void Tfrm_main::openHelp(bool search)
{
    Tfrm_sugo help(m_context.installation.helpFolder(), this);
    if (search) help.showSearch(QString());
    help.exec();
}

void Tfrm_main::openFoglalk()
{
    std::unique_ptr<Tfrm_foglalk> window;
    {
        WaitCursor busy;
        window = std::make_unique<Tfrm_foglalk>(m_context, this);
    }
    window->exec();
    // Leaving the register refreshes the prison-service flag.
    ui->mn_spec->menuAction()->setVisible(m_context.run.prisonService);
}

void Tfrm_main::openJelent(bool making)
{
    std::unique_ptr<Tfrm_jelent> window;
    {
        WaitCursor busy;
        window = std::make_unique<Tfrm_jelent>(
            m_context, making ? Tfrm_jelent::Page::Keszit : Tfrm_jelent::Page::Rogzit, this);
    }
    window->exec();
    ui->mn_spec->menuAction()->setVisible(m_context.run.prisonService);
}

void Tfrm_main::openKulso()
{
    Tfrm_kulso window(m_context, this);
    window.exec();
    ui->mn_spec->menuAction()->setVisible(m_context.run.prisonService);
}

void Tfrm_main::openIsmetel()
{
    Tfrm_ismetel window(m_context, this);
    window.exec();
}

void Tfrm_main::openTechnical(int mode)
{
    std::unique_ptr<Tfrm_technikai> window;
    {
        WaitCursor busy;
        window = std::make_unique<Tfrm_technikai>(m_context, this);
        window->setMode(mode);
        window->setReturnCaption(mode == Tfrm_technikai::Backup       ? QStringLiteral("Kilépés")
                                 : mode == Tfrm_technikai::YearChange ? QStringLiteral("Főmenü")
                                                                      : QStringLiteral("Vissza"));
    }
    connect(window.get(), &Tfrm_technikai::yearChanged, this, &Tfrm_main::updateCaption);
    window->exec();
}

void Tfrm_main::openAbout()
{
    std::unique_ptr<Tfrm_about> about;
    {
        WaitCursor busy;
        about = std::make_unique<Tfrm_about>(m_context.run.version, this);
    }
    about->exec();
}
