#include "tfrm_felhasznalok.h"
#include "ui_tfrm_felhasznalok.h"

#include "appcontext.h"
#include "datamodule.h"
#include "datetext.h"
#include "fieldkeys.h"
#include "prompter.h"
#include "registrydatabase.h"

#include <QHeaderView>
#include <QStandardItemModel>

namespace
{
const QString Caption = QStringLiteral(" Felhasználók/jelszavak ;  ");
// Stands for a stored password in the masked field: the digest itself is never shown.
const QString PasswordMask = QStringLiteral("********");

void upperCaseWhileTyping(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const int at = edit->cursorPosition();
        edit->setText(text.toUpper());
        edit->setCursorPosition(at);
    });
}
} // namespace

Tfrm_felhasznalok::Tfrm_felhasznalok(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_felhasznalok>()), m_context(context),
      m_model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Felhasználók neve :")});
    ui->dbg_fogl->setModel(m_model);
    upperCaseWhileTyping(ui->ed_fnev);
    upperCaseWhileTyping(ui->dbed_fnev);
    auto *keys = new FieldKeys(this);
    for (QWidget *w : std::initializer_list<QWidget *>{ui->ed_fnev, ui->ed_veznev, ui->ed_utonev,
                                                       ui->ed_jelszo, ui->ed_jelszo2, ui->cmb_jog})
        keys->install(w);
    for (QLineEdit *e : {ui->ed_fnev, ui->ed_veznev, ui->ed_utonev, ui->ed_jelszo, ui->ed_jelszo2})
        connect(e, &QLineEdit::textChanged, this, &Tfrm_felhasznalok::Mentheto);
    connect(ui->cmb_jog, &QComboBox::currentIndexChanged, this, &Tfrm_felhasznalok::Mentheto);
    connect(ui->dbg_fogl->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tfrm_felhasznalok::showCurrent);
    connect(ui->bbtn_uj, &QPushButton::clicked, this, &Tfrm_felhasznalok::bbtn_ujClick);
    connect(ui->bbtn_modosit, &QPushButton::clicked, this, &Tfrm_felhasznalok::bbtn_modositClick);
    connect(ui->bbtn_ment, &QPushButton::clicked, this, &Tfrm_felhasznalok::MentClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &Tfrm_felhasznalok::viewMode);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::accept);
    reload(0);
    viewMode();
}

Tfrm_felhasznalok::~Tfrm_felhasznalok() = default;

void Tfrm_felhasznalok::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void Tfrm_felhasznalok::FormShow()
{
    if (m_model->rowCount() > 0) ui->dbg_fogl->selectRow(0);
    ui->dbg_fogl->setFocus();
}

void Tfrm_felhasznalok::message(const QString &text, bool error)
{
    Prompter::instance().message(this, text,
                                 error ? Prompter::Icon::Error : Prompter::Icon::Information);
}

void Tfrm_felhasznalok::reload(int selectId)
{
    const auto users = UserStore(m_context.data).users();
    m_users = users.value_or(QList<UserStore::User>());
    m_model->removeRows(0, m_model->rowCount());
    int select = 0;
    for (int i = 0; i < m_users.size(); ++i) {
        const UserStore::User &u = m_users[i];
        m_model->appendRow(new QStandardItem(DataModule::jelszoNev(u.familyName, u.givenName)));
        if (u.id == selectId) select = i;
    }
    ui->lbl_felhrec->setText(QString::number(m_users.size()));
    if (!m_users.isEmpty()) ui->dbg_fogl->selectRow(select);
    showCurrent();
}

const UserStore::User *Tfrm_felhasznalok::current() const
{
    const int row = ui->dbg_fogl->currentIndex().row();
    return row >= 0 && row < m_users.size() ? &m_users[row] : nullptr;
}

void Tfrm_felhasznalok::showCurrent()
{
    if (m_mode != Mode::View) return;
    const UserStore::User *u = current();
    ui->dbed_fnev->setText(u ? u->name : QString());
    ui->dbed_veznev->setText(u ? u->familyName : QString());
    ui->dbed_utonev->setText(u ? u->givenName : QString());
    ui->dbed_jelszo->setText(u && u->hasPassword ? PasswordMask : QString());
    ui->dbed_jog->setText(u ? DataModule::jogSzint(u->rights) : QString());
}

void Tfrm_felhasznalok::viewMode()
{
    m_mode = Mode::View;
    setWindowTitle(Caption + QStringLiteral("\" Megtekintés \"-mód"));
    ui->ntb_adatok->setCurrentWidget(ui->pg_adat);
    for (QLineEdit *e : {ui->dbed_fnev, ui->dbed_veznev, ui->dbed_utonev, ui->dbed_jelszo})
        e->setReadOnly(true);
    ui->dbed_jog->setVisible(true);
    ui->cmb_jogmod->setVisible(false);
    ui->dbg_fogl->setEnabled(true);
    const bool mayChange = m_context.run.rightsLevel != 1;
    ui->bbtn_uj->setVisible(mayChange);
    ui->bbtn_modosit->setVisible(mayChange);
    ui->bbtn_uj->setEnabled(mayChange);
    ui->bbtn_modosit->setEnabled(mayChange && current());
    ui->bbtn_ment->setVisible(false);
    ui->bbtn_megse->setVisible(false);
    showCurrent();
    ui->dbg_fogl->setFocus();
}

void Tfrm_felhasznalok::bbtn_ujClick()
{
    m_mode = Mode::New;
    setWindowTitle(Caption + QStringLiteral("\" Felvitel-mód \""));
    ui->ntb_adatok->setCurrentWidget(ui->pg_uj);
    ui->dbg_fogl->setEnabled(false);
    for (QLineEdit *e : {ui->ed_fnev, ui->ed_veznev, ui->ed_utonev, ui->ed_jelszo, ui->ed_jelszo2})
        e->clear();
    ui->cmb_jog->setCurrentIndex(-1);
    ui->bbtn_uj->setVisible(false);
    ui->bbtn_modosit->setVisible(false);
    ui->bbtn_ment->setVisible(true);
    ui->bbtn_ment->setEnabled(false);
    ui->bbtn_megse->setVisible(true);
    ui->bbtn_megse->setEnabled(true);
    ui->ed_fnev->setFocus();
}

void Tfrm_felhasznalok::Mentheto()
{
    if (m_mode != Mode::New) return;
    bool complete = ui->cmb_jog->currentIndex() >= 0;
    // The login name is stored trimmed: a name of blanks is no name.
    complete = complete && !ui->ed_fnev->text().trimmed().isEmpty();
    for (QLineEdit *e : {ui->ed_veznev, ui->ed_utonev, ui->ed_jelszo, ui->ed_jelszo2})
        complete = complete && !e->text().isEmpty();
    ui->bbtn_ment->setEnabled(complete);
}

void Tfrm_felhasznalok::bbtn_modositClick()
{
    const UserStore::User *u = current();
    if (!u) return;
    if (u->name == u"ADMIN") {
        message(QStringLiteral("Ez a felhasználó nem módosítható !"));
        return;
    }
    m_mode = Mode::Modify;
    setWindowTitle(Caption + QStringLiteral("\" Módosít \"-mód"));
    ui->dbg_fogl->setEnabled(false);
    for (QLineEdit *e : {ui->dbed_fnev, ui->dbed_veznev, ui->dbed_utonev, ui->dbed_jelszo})
        e->setReadOnly(false);
    // An empty password field keeps the stored password.
    ui->dbed_jelszo->clear();
    ui->dbed_jog->setVisible(false);
    ui->cmb_jogmod->setVisible(true);
    ui->cmb_jogmod->setCurrentIndex(u->rights);
    ui->bbtn_uj->setVisible(false);
    ui->bbtn_modosit->setVisible(false);
    ui->bbtn_ment->setVisible(true);
    ui->bbtn_ment->setEnabled(true);
    ui->bbtn_megse->setVisible(true);
    ui->bbtn_megse->setEnabled(true);
    ui->dbed_fnev->setFocus();
}

void Tfrm_felhasznalok::MentClick()
{
    if (m_mode == Mode::New) {
        if (ui->ed_jelszo->text() != ui->ed_jelszo2->text()) {
            message(QStringLiteral("Nem egyezik a jelszó a megerősítéssel !!"));
            ui->ed_jelszo->setFocus();
            return;
        }
        Rogzit();
    } else if (m_mode == Mode::Modify) {
        saveModified();
    }
}

void Tfrm_felhasznalok::Rogzit()
{
    const UserStore::User user{0,
                               ui->ed_fnev->text().trimmed(),
                               ui->ed_veznev->text(),
                               ui->ed_utonev->text(),
                               ui->cmb_jog->currentIndex(),
                               true};
    UserStore store(m_context.data);
    const UserStore::Saved saved = store.insert(user, ui->ed_jelszo->text());
    if (saved == UserStore::Saved::NameTaken) {
        message(QStringLiteral("Ez a felhasználónév már létezik !"));
        ui->ed_fnev->setFocus();
        return;
    }
    if (saved == UserStore::Saved::Failed) {
        message(QStringLiteral("Hiba lépett fel a felvitelnél !"), true);
        reload(0);
        return;
    }
    reload(0);
    Settings::write(QStringLiteral("Jelszo"), DateText::today());
    viewMode();
}

void Tfrm_felhasznalok::saveModified()
{
    const UserStore::User *u = current();
    if (!u) return;
    if (ui->dbed_fnev->text().trimmed().isEmpty()) {
        message(QStringLiteral("A felhasználónevet meg kell adni !"));
        ui->dbed_fnev->setFocus();
        return;
    }
    const int id = u->id;
    const UserStore::User changed{id,
                                  ui->dbed_fnev->text().trimmed(),
                                  ui->dbed_veznev->text(),
                                  ui->dbed_utonev->text(),
                                  ui->cmb_jogmod->currentIndex(),
                                  true};
    UserStore store(m_context.data);
    const UserStore::Saved saved = store.update(id, changed, ui->dbed_jelszo->text());
    if (saved == UserStore::Saved::NameTaken) {
        message(QStringLiteral("Ez a felhasználónév már létezik !"));
        ui->dbed_fnev->setFocus();
        return;
    }
    bool ok = saved == UserStore::Saved::Ok;
    if (ok && changed.rights != u->rights && !store.updateRights(changed.name, changed.rights))
        ok = false;
    m_mode = Mode::View;
    reload(id);
    if (!ok) {
        message(QStringLiteral("Hiba lépett fel a módosításnál !"), true);
        viewMode();
        return;
    }
    Settings::write(QStringLiteral("Jelszo"), DateText::today());
    message(QStringLiteral("A módosítás megtörtént !!"));
    viewMode();
}
