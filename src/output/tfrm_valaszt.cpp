#include "tfrm_valaszt.h"
#include "ui_tfrm_valaszt.h"

#include "appcontext.h"
#include "completedreports.h"
#include "datetext.h"
#include "formprinter.h"
#include "prompter.h"
#include "reportgenerator.h"
#include "waitcursor.h"

#include <QDir>

namespace
{
void uncheck(std::initializer_list<QRadioButton *> buttons)
{
    for (QRadioButton *b : buttons) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}
} // namespace

Tfrm_valaszt::Tfrm_valaszt(AppContext &context, QVariantMap report,
                           PrintedForms::CompletedReport forms, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_valaszt>()), m_context(context),
      m_report(std::move(report)), m_forms(std::move(forms))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (QCheckBox *box : {ui->cbx_bejelento, ui->cbx_nyilatkozat, ui->cbx_jelentes}) {
        box->setChecked(false);
        connect(box, &QCheckBox::clicked, this, &Tfrm_valaszt::Ismetelhet);
    }
    ui->bbtn_ismetel->setEnabled(false);
    ui->rbtn_floppy->setChecked(true);
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->rbtn_floppy, ui->rbtn_text, ui->lbl_utvonal, ui->rbtn_bprint, ui->rbtn_bpdf,
             ui->rbtn_nprint, ui->rbtn_npdf})
        w->setEnabled(false);
    uncheck({ui->rbtn_bprint, ui->rbtn_bpdf, ui->rbtn_nprint, ui->rbtn_npdf});
    connect(ui->bbtn_ismetel, &QPushButton::clicked, this, &Tfrm_valaszt::bbtn_ismetelClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &QDialog::reject);
}

Tfrm_valaszt::~Tfrm_valaszt() = default;

void Tfrm_valaszt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui->lbl_utvonal->setText(CompletedReports::pathLabel(m_context.installation));
}

void Tfrm_valaszt::Ismetelhet()
{
    const bool sheet = ui->cbx_bejelento->isChecked();
    const bool declaration = ui->cbx_nyilatkozat->isChecked();
    const bool file = ui->cbx_jelentes->isChecked();
    ui->bbtn_ismetel->setEnabled(sheet || declaration || file);
    for (QWidget *w :
         std::initializer_list<QWidget *>{ui->rbtn_floppy, ui->rbtn_text, ui->lbl_utvonal})
        w->setEnabled(file);
    auto options = [](bool on, QRadioButton *print, QRadioButton *pdf) {
        if (on && !print->isEnabled()) print->setChecked(true);
        if (!on) uncheck({print, pdf});
        print->setEnabled(on);
        pdf->setEnabled(on);
    };
    options(sheet, ui->rbtn_bprint, ui->rbtn_bpdf);
    options(declaration, ui->rbtn_nprint, ui->rbtn_npdf);
}

void Tfrm_valaszt::outputForm(const BandedForm &form, bool toPrinter, PrintedForms::Form kind)
{
    Prompter &prompter = Prompter::instance();
    if (toPrinter) {
        if (!PrintedForms::print(form, 1))
            prompter.message(this, QStringLiteral("Hiba lépett fel a nyomtatásnál !"),
                             Prompter::Icon::Error);
        return;
    }
    const QString done =
        PrintedForms::savePdf(form, m_context.installation.programFolder(), kind, m_forms.fileName);
    if (done.isEmpty())
        prompter.message(this, QStringLiteral("A PDF fájl nem készült el !"),
                         Prompter::Icon::Error);
    else
        prompter.message(this, done);
}

void Tfrm_valaszt::remakeFile()
{
    Prompter &prompter = Prompter::instance();
    QString folder;
    if (ui->rbtn_floppy->isChecked()) {
        folder = ReportGenerator::floppyFolder();
        while (!QDir(folder).exists() &&
               prompter.question(this, QStringLiteral("Nincs a meghajtóban lemez !"), true) ==
                   Prompter::Ok) {
        }
    } else {
        folder = CompletedReports::repeatFolder(m_context.installation);
    }
    CompletedReports::Result r;
    {
        WaitCursor busy;
        r = CompletedReports(m_context.data).remake(m_report, folder, m_context.run.version);
    }
    prompter.message(this, r.message, r.ok ? Prompter::Icon::Information : Prompter::Icon::Error);
}

void Tfrm_valaszt::bbtn_ismetelClick()
{
    ui->bbtn_ismetel->setEnabled(false);
    using PrintedForms::Form;
    if (ui->cbx_bejelento->isChecked()) {
        std::optional<BandedForm> form;
        {
            WaitCursor busy;
            form = PrintedForms::completedSheetOf(m_forms, DateText::today()).form();
        }
        outputForm(*form, ui->rbtn_bprint->isChecked(), Form::Sheet);
    }
    if (ui->cbx_nyilatkozat->isChecked()) {
        const BandedForm form =
            PrintedForms::completedDeclarationOf(m_forms, int(m_forms.lines.size()),
                                                 m_context.run.version, m_context.run.userName)
                .form();
        outputForm(form, ui->rbtn_nprint->isChecked(), Form::Declaration);
    }
    if (ui->cbx_jelentes->isChecked()) remakeFile();
    accept();
}
