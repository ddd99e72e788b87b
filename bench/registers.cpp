// Times the person lists on a register of 100,000 persons, all related to one employer: opening
// the person register and positioning it by name and by TAJ number, and the entry window's
// employer and report-type choices. Run: build/bench_registers [persons]
#include "appcontext.h"
#include "commandline.h"
#include "fieldkeys.h"
#include "namekeys.h"
#include "prompter.h"
#include "tfrm_dolgozo.h"
#include "tfrm_jelent.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace
{
// Answers nothing and shows nothing: a benchmark has no one to ask.
class SilentPrompter : public Prompter
{
public:
    void message(QWidget *, const QString &, Icon) override {}
    Answer question(QWidget *, const QString &, bool) override { return Yes; }
    QString openFile(QWidget *, const QString &, const QString &, const QString &,
                     const QStringList &) override
    {
        return {};
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &,
                     const QStringList &) override
    {
        return {};
    }
    QString chooseFolder(QWidget *, const QString &, const QString &) override { return {}; }
    BottomAnswer bottomQuestion(QWidget *, const BottomQuestion &) override { return {}; }
    int runDialog(QDialog *) override { return 0; }
};

double timed(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    QCoreApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

void choose(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int persons = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    qputenv("TARVIK_SETTINGS_DIR", dir.filePath("settings").toLocal8Bit());
    CommandLine::Options o;
    o.init = o.demo = o.hasPassword = true;
    o.adminPassword = QStringLiteral("bench");
    o.home = dir.filePath("home");
    QString sink;
    QTextStream out(&sink), err(&sink);
    if (CommandLine::initialise(o, out, err) != 0) {
        fprintf(stderr, "init failed: %s\n", qPrintable(sink));
        return 1;
    }
    SilentPrompter prompter;
    Prompter::install(&prompter);
    AppContext context{Installation(o.home), {}, {}};
    context.run.initialise();
    context.run.rightsLevel = 3;
    context.data.connect(context.installation.dataFolder());
    QSqlQuery q(context.data.db());
    q.exec(QStringLiteral("begin"));
    q.exec(QStringLiteral(
               "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
               "insert into taj (TAJ, VEZ_NEV, UTO_NEV, SZUL_DAT, SZUL_HELY, O_KOD) select "
               "printf('5%08d', i), 'NÉV' || printf('%06d', (i * 7919) % %1), 'ANNA', "
               "'1985.04.12', 'PÉCS', '348' from n")
               .arg(persons));
    q.exec(QStringLiteral("insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP, KEZDET) "
                          "select TAJ, 1, '1101', '09', '2024.01.01' from taj"));
    q.exec(QStringLiteral("commit"));
    q.exec(QStringLiteral("analyze"));
    printf("persons: %d\n", persons);
    // The rows came without name keys, as from another program: the first listing makes them.
    printf("name keys made (all rows):  %7.1f ms\n",
           timed([&] { NameKeys::refresh(context.data.db()); }));

    std::unique_ptr<Tfrm_dolgozo> register_;
    printf("Tfrm_dolgozo open:          %7.1f ms\n", timed([&] {
               register_ = std::make_unique<Tfrm_dolgozo>(context);
               register_->show();
           }));
    auto *search = register_->findChild<QLineEdit *>("ed_keres");
    printf("search by name (NÉV05):     %7.1f ms\n",
           timed([&] { search->setText(QStringLiteral("NÉV05")); }));
    printf("search by name (Z, last):   %7.1f ms\n",
           timed([&] { search->setText(QStringLiteral("Z")); }));
    printf("search by name (név12, lower case): %7.1f ms\n",
           timed([&] { search->setText(QStringLiteral("név12")); }));
    printf("order by TAJ:               %7.1f ms\n",
           timed([&] { register_->findChild<QComboBox *>("cbx_rendez")->setCurrentIndex(1); }));
    printf("search by TAJ (full):       %7.1f ms\n",
           timed([&] { search->setText(QString::asprintf("5%08d", persons * 3 / 4)); }));
    register_.reset();

    std::unique_ptr<Tfrm_jelent> entry;
    printf("Tfrm_jelent open:           %7.1f ms\n", timed([&] {
               entry = std::make_unique<Tfrm_jelent>(context, Tfrm_jelent::Page::Rogzit);
               entry->show();
           }));
    auto *employers = entry->findChild<QComboBox *>("cmb_fogl");
    const int demo = employers->findText(QStringLiteral("DEMO KERESKEDELMI KFT"));
    printf("entry: choose employer:     %7.1f ms\n", timed([&] { choose(employers, demo); }));
    auto *types = entry->findChild<QComboBox *>("cmb_jelnev");
    printf("entry: choose report type:  %7.1f ms\n", timed([&] { choose(types, 1); }));
    printf("entry: persons listed:      %s\n",
           qPrintable(entry->findChild<QLabel *>("lbl_dolgrec")->text()));
    return 0;
}
