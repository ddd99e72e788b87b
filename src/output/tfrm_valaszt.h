#pragma once

#include "printedforms.h"

#include <QDialog>
#include <QVariantMap>

#include <memory>

struct AppContext;
namespace Ui
{
class Tfrm_valaszt;
}

// What to repeat of a completed report: the sheet and the declaration, each to the printer or
// to a PDF, and the report file, to the floppy or to the repeat folder.
class Tfrm_valaszt : public QDialog
{
    Q_OBJECT
public:
    Tfrm_valaszt(AppContext &context, QVariantMap report, PrintedForms::CompletedReport forms,
                 QWidget *parent = nullptr);
    ~Tfrm_valaszt() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Ismetelhet();
    void bbtn_ismetelClick();
    void outputForm(const BandedForm &form, bool toPrinter, PrintedForms::Form kind);
    void remakeFile();

    std::unique_ptr<Ui::Tfrm_valaszt> ui;
    AppContext &m_context;
    QVariantMap m_report;
    PrintedForms::CompletedReport m_forms;
};
