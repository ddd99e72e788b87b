#include "tfrm_beallit.h"
#include "ui_tfrm_beallit.h"

#include "appcontext.h"
#include "prompter.h"
#include "registrydatabase.h"

#include <QDir>
#include <QLineEdit>

namespace
{
const QStringList FolderNames = {QStringLiteral("Alap jelent"), QStringLiteral("Alap ismet"),
                                 QStringLiteral("Alap kulso")};
} // namespace

QString Tfrm_beallit::defaultFolder(const QString &name, const QString &programFolder)
{
    if (name == FolderNames[0]) return programFolder;
    if (name == FolderNames[1]) return programFolder + QStringLiteral("Text");
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QDir::toNativeSeparators(QDir::homePath());
#endif
}

Tfrm_beallit::Tfrm_beallit(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_beallit>()), m_context(context)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->ntb_lapok->setCurrentIndex(0);
    const QList<QLabel *> labels = {ui->lbl_jelent, ui->lbl_ismet, ui->lbl_kulso};
    for (int i = 0; i < FolderNames.size(); ++i) {
        QString folder = Settings::read(FolderNames[i]);
        if (folder.isEmpty()) {
            folder = defaultFolder(FolderNames[i], m_context.installation.programFolder());
            Settings::write(FolderNames[i], folder);
        }
        labels[i]->setText(folder);
    }
    for (const auto &[spin, name] : {std::pair{ui->spn_nyilatkozat, "Nyilatkozat db"},
                                     std::pair{ui->spn_bejelento, "Bejelentolap db"}}) {
        const QString stored = Settings::read(QLatin1String(name)).left(2);
        // A value that is no number counts as 1.
        const int copies = stored.toInt();
        spin->setValue(qMax(1, copies));
        if (stored.isEmpty() || copies < 1)
            Settings::write(QLatin1String(name), QStringLiteral("1"));
        // The count is checked and stored when the field is left (or stepped with the arrows),
        // not on every key: typing "11" never stores its first "1".
        spin->setKeyboardTracking(false);
        connect(spin, &QSpinBox::valueChanged, this,
                [this, spin = spin, name = QString::fromLatin1(name)] { spinChange(spin, name); });
    }
    connect(ui->sbtn_jelent, &QPushButton::clicked, this, [this] { chooseFolder(0); });
    connect(ui->sbtn_ismet, &QPushButton::clicked, this, [this] { chooseFolder(1); });
    connect(ui->sbtn_kulso, &QPushButton::clicked, this, [this] { chooseFolder(2); });
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::accept);
    m_which = 0;
}

Tfrm_beallit::~Tfrm_beallit() = default;

void Tfrm_beallit::spinChange(QSpinBox *spin, const QString &name)
{
    if (spin->value() <= 10) {
        Settings::write(name, QString::number(spin->value()));
    } else {
        Prompter::instance().message(this, QStringLiteral("A beállítható legnagyob érték :10"));
        const QSignalBlocker quiet(spin);
        spin->setValue(qMax(1, Settings::read(name).left(2).toInt()));
    }
    spin->update();
}

void Tfrm_beallit::chooseFolder(int which)
{
    m_which = which;
    QLabel *label = QList<QLabel *>{ui->lbl_jelent, ui->lbl_ismet, ui->lbl_kulso}[which];
    const QString folder = Prompter::instance().chooseFolder(
        this, QStringLiteral("Válassza ki az alapkönyvtárat !"), label->text());
    if (folder.isEmpty()) return;
    // Written exactly as chosen.
    const QString chosen = QDir::toNativeSeparators(folder);
    label->setText(chosen);
    Settings::write(FolderNames[which], chosen);
}
