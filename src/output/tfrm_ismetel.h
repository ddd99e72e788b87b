#pragma once

#include "completedreports.h"

#include <QDialog>

#include <memory>

struct AppContext;
namespace Ui
{
class Tfrm_ismetel;
}

// The completed reports: choose an employer and a report type, browse the reports and their
// lines, and repeat the sheet, the declaration or the file of one through Tfrm_valaszt.
class Tfrm_ismetel : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_ismetel(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_ismetel() override;

    bool isReady() const { return m_ready; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void reset();
    void cmb_foglChange();
    void cmb_jelnevChange();
    void showCurrentReport();
    void bbtn_ismetelClick();
    void clearGrids();
    void message(const QString &text);

    std::unique_ptr<Ui::Tfrm_ismetel> ui;
    AppContext &m_context;
    CompletedReports m_store;
    CompletedReports::Seat m_seat;
    QList<QVariantMap> m_reports;
    bool m_ready = true, m_shown = false, m_filling = false;
};
