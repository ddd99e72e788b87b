#include "tfrm_technikai.h"
#include "ui_tfrm_technikai.h"

#include "appcontext.h"
#include "datasetgrid.h"
#include "prompter.h"
#include "referenceloader.h"

#include <QLabel>
#include <QRadioButton>

Tfrm_technikai::Tfrm_technikai(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_technikai>()), m_context(context)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->bbtn_beolvas, &QPushButton::clicked, this, &Tfrm_technikai::bbtn_beolvasClick);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::accept);
    setMode(Maintenance);
}

Tfrm_technikai::~Tfrm_technikai() = default;

void Tfrm_technikai::setReturnCaption(const QString &caption)
{
    ui->bbtn_vissza->setText(caption);
}

void Tfrm_technikai::setMode(int mode)
{
    m_mode = mode;
    static const char *captions[] = {
        "   Technikai feladatok - Törzsadatok karbantartása",
        "   Technikai feladatok - OEP törzsadatok frissítése",
        "   Technikai feladatok - Jelentés adatok mentés-visszatöltés",
        "   Technikai feladatok - Évváltás",
        "   Technikai feladatok - Jelentés törzsadatok export-import",
    };
    if (mode >= 0 && mode <= 4) setWindowTitle(QString::fromUtf8(captions[mode]));
    for (QRadioButton *radio : ui->gbx_adatok->findChildren<QRadioButton *>())
        radio->setEnabled(true);
    ui->bbtn_beolvas->setVisible(mode == Refresh);
    ui->bbtn_beolvas->setEnabled(mode == Refresh);
    switch (mode) {
    case Maintenance:
        ui->rbtn_a->setChecked(true);
        ui->rbtn_osszes->setEnabled(false);
        break;
    case Refresh:
        for (QRadioButton *radio :
             {ui->rbtn_a, ui->rbtn_d, ui->rbtn_e, ui->rbtn_k, ui->rbtn_osszes})
            radio->setEnabled(false);
        ui->rbtn_f->setChecked(true);
        break;
    default:
        break;
    }
}

void Tfrm_technikai::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refreshGrid();
}

void Tfrm_technikai::refreshGrid()
{
    for (const DataSetGrid::Row &row : DataSetGrid::rows()) {
        const QString suffix = row.radio.mid(5);
        const DataSetGrid::Values v = DataSetGrid::read(m_context.data, row);
        findChild<QLabel *>(QStringLiteral("lbl_%1_allapot").arg(suffix))->setText(v.status);
        findChild<QLabel *>(QStringLiteral("lbl_%1_db").arg(suffix))->setText(v.count);
        findChild<QLabel *>(QStringLiteral("lbl_%1_datum").arg(suffix))->setText(v.date);
    }
}

QRadioButton *Tfrm_technikai::selectedRadio() const
{
    for (QRadioButton *radio : ui->gbx_adatok->findChildren<QRadioButton *>())
        if (radio->isChecked()) return radio;
    return nullptr;
}

void Tfrm_technikai::setWorking(bool working)
{
    ui->pnl_beolvas->setVisible(working);
    ui->gbx_adatok->setEnabled(!working);
    ui->pnl_vissza->setEnabled(!working);
    ui->pnl_gombok->setEnabled(!working);
}

void Tfrm_technikai::bbtn_beolvasClick()
{
    QRadioButton *radio = selectedRadio();
    const ReferenceFile *ref = radio ? ReferenceFiles::byRadio(radio->objectName()) : nullptr;
    if (!ref) return;
    Prompter &prompter = Prompter::instance();
    const QString file = prompter.openFile(this, ref->dialogTitle, m_context.installation.home(),
                                           ref->fileName, {ref->filter});
    if (file.isEmpty()) return;

    setWorking(true);
    ui->lbl_tetel->setText(QStringLiteral("0"));
    ui->prg_beolvas->setValue(0);
    ReferenceLoader loader(m_context.data);
    const ReferenceLoader::Result r =
        loader.load(*ref, file, [this](int line, qint64 position, qint64 size) {
            ui->lbl_tetel->setText(QString::number(line));
            // The bar counts in kilobytes so that large files stay within its int range.
            ui->prg_beolvas->setMaximum(int(qMax<qint64>(1, size / 1024)));
            ui->prg_beolvas->setValue(int(position / 1024));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    if (r.emptyFailed)
        prompter.message(this, QStringLiteral("Hiba lépett fel a tábla ürítésnél!"),
                         Prompter::Icon::Error);
    if (!r.ok) prompter.message(this, r.error, Prompter::Icon::Error);
    setWorking(false);
    refreshGrid();
}
