#include "tfrm_frissit.h"
#include "ui_tfrm_frissit.h"

#include "appcontext.h"
#include "fieldkeys.h"
#include "prompter.h"
#include "releasesignature.h"
#include "updatesite.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

Tfrm_frissit::Tfrm_frissit(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_frissit>()), m_context(context),
      m_timer(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_timer->setInterval(1);
    connect(m_timer, &QTimer::timeout, this, &Tfrm_frissit::Timer1Timer);
    auto *keys = new FieldKeys(this);
    keys->install(ui->ed_v3, FieldKeys::Szam);
    keys->install(ui->ed_v4, FieldKeys::Szam);
    connect(ui->bbtn_letolt1, &QPushButton::clicked, this, &Tfrm_frissit::bbtn_letolt1Click);
    connect(ui->bbtn_letolt2, &QPushButton::clicked, this, &Tfrm_frissit::bbtn_letolt2Click);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &Tfrm_frissit::bbtn_visszaClick);

    const QString urlFile = m_context.installation.urlFile();
    if (!QFileInfo::exists(urlFile)) {
        Prompter::instance().message(this,
                                     QStringLiteral("Hiányzik a következő fájl : oep_tarvik.url "),
                                     Prompter::Icon::Error);
        m_closeAtOnce = true;
    } else {
        m_context.run.updateUrl = UpdateSite::readUrlFile(urlFile);
    }
}

Tfrm_frissit::~Tfrm_frissit() = default;

void Tfrm_frissit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_timer->start();
    ui->anim_letolt->setVisible(false);
    const QString version = m_context.run.version;
    ui->lbl_verzio->setText(version);
    const QStringList parts = version.split(u'.');
    ui->ed_v3->setText(parts.value(2));
    ui->ed_v4->setText(QString::number(parts.value(3).toInt() + 1));
    ui->ed_v4->setFocus();
    const bool allowed = m_context.run.rightsLevel >= 2;
    ui->bbtn_letolt1->setEnabled(allowed);
    ui->bbtn_letolt2->setEnabled(allowed);
}

void Tfrm_frissit::Timer1Timer()
{
    m_timer->stop();
    if (m_closeAtOnce) close();
}

QString Tfrm_frissit::failure(const QString &remote) const
{
    return QStringLiteral("A fájl letöltése nem sikerült ! ") + remote + QStringLiteral("\n\r") +
           QStringLiteral("Vagy nincs internetkapcsolat, vagy a fájl nem található ! ");
}

void Tfrm_frissit::bbtn_visszaClick()
{
    if (m_downloading)
        m_stop = true;
    else
        accept();
}

void Tfrm_frissit::reject()
{
    if (m_downloading)
        m_stop = true;
    else
        QDialog::reject();
}

bool Tfrm_frissit::download(const QString &remote, const QString &local, qint64 maxBytes)
{
    if (!ReleaseSignature::hasKey()) {
        Prompter::instance().message(this, ReleaseSignature::noKeyMessage(),
                                     Prompter::Icon::Warning);
        return false;
    }
    ui->anim_letolt->setVisible(true);
    for (QPushButton *b : {ui->bbtn_letolt1, ui->bbtn_letolt2})
        b->setEnabled(false);
    // The window stays usable while the file comes; "Vissza" stops it.
    ui->bbtn_vissza->setText(QStringLiteral("Leállítás"));
    m_downloading = true;
    m_stop = false;
    UpdateSite::Limits limits;
    limits.idleMs = IdleLimitMs;
    limits.totalMs = UpdateSite::WindowLimitMs;
    limits.maxBytes = maxBytes;
    limits.stop = &m_stop;
    limits.keepInput = true;
    // Without a site the address is no http(s) address, and the fetch refuses it.
    const UpdateSite::Download d = UpdateSite::fetch(remote, local, limits);
    m_downloading = false;
    ui->bbtn_vissza->setText(QStringLiteral("Vissza"));
    ui->anim_letolt->setVisible(false);
    for (QPushButton *b : {ui->bbtn_letolt1, ui->bbtn_letolt2})
        b->setEnabled(m_context.run.rightsLevel >= 2);
    if (d.stopped) return false;
    if (!d.ok)
        Prompter::instance().message(
            this,
            d.unverified
                ? UpdateSite::unverifiedMessage(local, local.endsWith(QStringLiteral(".exe")))
                : failure(remote),
            Prompter::Icon::Error);
    return d.ok;
}

void Tfrm_frissit::bbtn_letolt1Click()
{
    const QString digits =
        ui->ed_v1->text() + ui->ed_v2->text() + ui->ed_v3->text() + ui->ed_v4->text();
    const QString name = UpdateSite::windowInstallerName(digits, ui->rbtn_64->isChecked());
    const QString remote = m_context.run.updateUrl + name;
    const QString local = QDir(m_context.installation.home()).filePath(name);
    if (!download(remote, local, UpdateSite::InstallerMaxBytes)) return;
    Prompter::instance().message(
        this, QStringLiteral("A letöltés sikeresen befejeződött !\n\rAz üzenet ablak bezárása "
                             "után elindul a frissítés.\n\rA Tarvik program újraindul !"));
    if (!Launcher::instance().startAndQuit(local)) {
        Prompter::instance().message(this, UpdateSite::installerNotStarted(local),
                                     Prompter::Icon::Warning);
        return;
    }
    accept();
}

void Tfrm_frissit::bbtn_letolt2Click()
{
    const QString remote = m_context.run.updateUrl + UpdateSite::PackageName;
    const QString local =
        m_context.installation.path(QStringLiteral("text/") + UpdateSite::PackageName);
    if (!download(remote, local, UpdateSite::PackageMaxBytes)) return;
    Prompter::instance().message(
        this, QStringLiteral("A letöltés sikeresen befejeződött !\n\rA letöltött fájl a :\n\r") +
                  m_context.installation.programFolder() +
                  QDir::toNativeSeparators(QStringLiteral("text/") + UpdateSite::PackageName) +
                  QStringLiteral("\n\r") + QStringLiteral("útvonalon található."));
}
