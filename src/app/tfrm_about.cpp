#include "tfrm_about.h"
#include "ui_tfrm_about.h"

#include "appfonts.h"

Tfrm_about::Tfrm_about(const QString &version, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_about>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->lbl_verzio->setText(version);
    AppFonts::ensureLoaded();
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::Monospace);
    ui->mem_valtozasok->setFont(fixed);
    ui->mem_valtozasok->setPlainText(changeHistory());
    connect(ui->bbtn_ok, &QPushButton::clicked, this, &QDialog::accept);
}

Tfrm_about::~Tfrm_about() = default;

QString Tfrm_about::changeHistory()
{
    const QString separator(52, u'-');
    const QList<QStringList> entries = {
        {QStringLiteral("V 1.0.4.3."), QStringLiteral(" - Megszünt jogcímet 5 évre visszamenőleg"),
         QStringLiteral("   lehet jelenteni;")},
        {QStringLiteral("V 1.0.4.2."), QStringLiteral(" - Program frissítés keresése induláskor;")},
        {QStringLiteral("V 1.0.3.1."), QStringLiteral(" - A hét természetes azonosító jelentése;"),
         QStringLiteral(" - Csak 09-es típusú jelentés lészítésének lehetősége;")},
        {QStringLiteral("V 1.0.2.3."),
         QStringLiteral(" - Megbízásos jogviszony(1202) jelentésének javítása;")},
        {QStringLiteral("V 1.0.2.2."),
         QStringLiteral(" - Jelentés kezdősorszámának beállítása(Foglalkoztatói "),
         QStringLiteral("   törzsadatok);"),
         QStringLiteral(" - Munkavállaló nevének módosítása rendszergazdai "),
         QStringLiteral("   jogosultsággal(Munkavállalói adatok megtekintése "),
         QStringLiteral("   menü);"),
         QStringLiteral(" - Frissítések letöltése az internetről(Technikai "),
         QStringLiteral("feladatok)"),
         QStringLiteral(" - Munkaviszonynál(1101) több jogviszony kezelése;"),
         QStringLiteral(" - Megbízásos jogviszonynál(1202)  utólagos jelentés "),
         QStringLiteral("   leadásának lehetősége;")},
    };
    QStringList lines;
    for (int i = 0; i < entries.size(); ++i) {
        if (i > 0) lines << separator;
        lines << entries[i];
    }
    return lines.join(u'\n');
}
