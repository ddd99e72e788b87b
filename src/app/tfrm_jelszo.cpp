#include "tfrm_jelszo.h"
#include "ui_tfrm_jelszo.h"

#include "appcontext.h"
#include "databaseupgrade.h"
#include "login.h"
#include "prompter.h"
#include "registrydatabase.h"

#include <QKeyEvent>

Tfrm_jelszo::Tfrm_jelszo(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_jelszo>()), m_context(context)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The name is always upper case, as typed and as compared.
    connect(ui->ed_nev, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int cursor = ui->ed_nev->cursorPosition();
        ui->ed_nev->setText(text.toUpper());
        ui->ed_nev->setCursorPosition(cursor);
    });
    ui->ed_nev->installEventFilter(this);
    ui->ed_jelszo->installEventFilter(this);
    connect(ui->bbtn_ok, &QPushButton::clicked, this, &Tfrm_jelszo::bbtn_okClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &Tfrm_jelszo::bbtn_megseClick);
    ui->ed_nev->setText(Settings::read(QStringLiteral("Felhasznalo")).toUpper());
}

Tfrm_jelszo::~Tfrm_jelszo() = default;

void Tfrm_jelszo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    focusRule();
}

bool Tfrm_jelszo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_jelszo::focusRule()
{
    if (!ui->ed_nev->text().isEmpty()) {
        ui->ed_jelszo->clear();
        ui->ed_jelszo->setFocus();
    } else {
        ui->ed_nev->setFocus();
    }
}

void Tfrm_jelszo::finish(bool mayContinue)
{
    m_context.run.mayContinue = mayContinue;
    if (mayContinue) Login::settingsStep(ui->ed_nev->text());
    done(mayContinue ? QDialog::Accepted : QDialog::Rejected);
}

void Tfrm_jelszo::bbtn_megseClick()
{
    m_context.run.mayContinue = false;
    reject();
}

void Tfrm_jelszo::bbtn_okClick()
{
    Prompter &prompter = Prompter::instance();
    const Login::Result r = Login(m_context).check(ui->ed_nev->text(), ui->ed_jelszo->text());
    switch (r.outcome) {
    case Login::Outcome::WrongPassword:
        prompter.message(this, QStringLiteral("Nem megfelelő felhasználónév/jelszó !!"),
                         Prompter::Icon::Warning);
        focusRule();
        return;
    case Login::Outcome::StoreFailure:
        prompter.message(this, QStringLiteral("Az adatbázis nem létezik !\n\r                    "),
                         Prompter::Icon::Error);
        return;
    case Login::Outcome::Ended:
        prompter.message(this, QStringLiteral("A felhasználó belépési joga megszünt !!"),
                         Prompter::Icon::Warning);
        finish(false);
        return;
    case Login::Outcome::BadStructure:
        prompter.message(this,
                         QStringLiteral("Az adatbázis szerkezete nem megfelelő.\n\rA program nem "
                                        "nem indítható el !"),
                         Prompter::Icon::Error);
        finish(false);
        return;
    case Login::Outcome::LoggedIn:
        if (r.plainPassword) Login(m_context).storeDigest(r.userName, ui->ed_jelszo->text());
        finish(true);
        return;
    case Login::Outcome::UpgradeNeeded:
        if (prompter.question(this, QStringLiteral("Az adatbázis verziója nem megfelelő !\n\r"
                                                   "Indulhat a frissítés ?!")) != Prompter::Yes) {
            finish(false);
            return;
        }
        upgrade(!r.hasPersonNames);
        if (m_context.run.mayContinue && r.plainPassword)
            Login(m_context).storeDigest(r.userName, ui->ed_jelszo->text());
        return;
    }
}

void Tfrm_jelszo::upgrade(bool addPersonNames)
{
    Prompter &prompter = Prompter::instance();
    DatabaseUpgrade upgrade(m_context.data);
    if (!upgrade.run(addPersonNames)) {
        prompter.message(this, QStringLiteral("Hiba a struktúra módosításánál !"),
                         Prompter::Icon::Error);
        finish(false);
        return;
    }
    prompter.message(this, QStringLiteral("A frissítés sikerült !"));
    prompter.message(this, QStringLiteral("A járások bevezetése miatt bővült a bejelentők "
                                          "törzsadatai!\n\rA jelentés készítése előtt kérem, "
                                          "ellenőrizze az adatokat!"));
    finish(true);
}
