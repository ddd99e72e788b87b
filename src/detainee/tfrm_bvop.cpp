#include "tfrm_bvop.h"
#include "ui_tfrm_bvop.h"

#include "appcontext.h"
#include "prompter.h"
#include "waitcursor.h"

#include <QDir>

Tfrm_bvop::Tfrm_bvop(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_bvop>()), m_context(context),
      m_confirmation(context.data)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->sbtn_megnyit, &QPushButton::clicked, this, &Tfrm_bvop::sbtn_megnyitClick);
    connect(ui->sbtn_ellenoriz, &QPushButton::clicked, this, &Tfrm_bvop::sbtn_ellenorizClick);
    connect(ui->sbtn_beolvas, &QPushButton::clicked, this, &Tfrm_bvop::sbtn_beolvasClick);
    connect(ui->sbtn_log, &QPushButton::clicked, this, &Tfrm_bvop::sbtn_logClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &Tfrm_bvop::bbtn_megseClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    bbtn_megseClick();
}

Tfrm_bvop::~Tfrm_bvop() = default;

void Tfrm_bvop::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void Tfrm_bvop::FormShow()
{
    bbtn_megseClick();
}

void Tfrm_bvop::bbtn_megseClick()
{
    ui->sbtn_megnyit->setEnabled(true);
    ui->sbtn_ellenoriz->setEnabled(false);
    ui->sbtn_beolvas->setEnabled(false);
    ui->sbtn_log->setEnabled(false);
    ui->mem_log->clear();
}

void Tfrm_bvop::write(const QStringList &lines)
{
    for (const QString &line : lines)
        ui->mem_log->appendPlainText(line);
}

void Tfrm_bvop::sbtn_megnyitClick()
{
    const QString path =
        Prompter::instance().openFile(this, QStringLiteral("BVOP visszaigazolás megnyitása"),
                                      m_context.installation.programFolder(), QString(),
                                      {QStringLiteral("BVOP visszaigazolás|bvop_vissza_*.db")});
    if (path.isEmpty()) return;
    ui->sbtn_megnyit->setEnabled(false);
    BvopConfirmation::Step step;
    {
        WaitCursor busy;
        step = m_confirmation.open(path);
    }
    write(step.log);
    if (!step.message.isEmpty()) {
        Prompter::instance().message(this, step.message, Prompter::Icon::Error);
        return;
    }
    ui->sbtn_ellenoriz->setEnabled(step.ok);
    ui->sbtn_log->setEnabled(true);
}

void Tfrm_bvop::sbtn_ellenorizClick()
{
    ui->sbtn_ellenoriz->setEnabled(false);
    BvopConfirmation::Step step;
    {
        WaitCursor busy;
        step = m_confirmation.check();
    }
    write(step.log);
    if (!step.message.isEmpty())
        Prompter::instance().message(this, step.message, Prompter::Icon::Error);
    ui->sbtn_beolvas->setEnabled(step.ok);
}

void Tfrm_bvop::sbtn_beolvasClick()
{
    ui->sbtn_beolvas->setEnabled(false);
    BvopConfirmation::Step step;
    {
        WaitCursor busy;
        step = m_confirmation.apply();
    }
    write(step.log);
    Prompter::instance().message(this, step.message,
                                 step.ok ? Prompter::Icon::Information : Prompter::Icon::Error);
}

void Tfrm_bvop::sbtn_logClick()
{
#ifdef Q_OS_WIN
    const QString start = QStringLiteral("c:");
#else
    const QString start = QDir::homePath();
#endif
    const QString path = Prompter::instance().saveFile(this, QStringLiteral("Log mentése"), start,
                                                       QStringLiteral("bvop_log.txt"),
                                                       {QStringLiteral("Szöveg fájl|*.txt")});
    if (path.isEmpty()) return;
    if (BvopConfirmation::saveLog(path, ui->mem_log->toPlainText().split(u'\n')))
        Prompter::instance().message(this, QStringLiteral("A fájl elkészült : \n\r") +
                                               QDir::toNativeSeparators(path));
    else
        Prompter::instance().message(this, QStringLiteral("Hiba a fájl előállításánál !"),
                                     Prompter::Icon::Error);
}
