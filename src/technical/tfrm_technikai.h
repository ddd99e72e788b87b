#pragma once

#include <QDialog>

#include <memory>

struct AppContext;
class QRadioButton;
namespace Ui
{
class Tfrm_technikai;
}

// The technical window: the grid of data sets, and by mode the reference refresh, backup,
// year change and export-import.
class Tfrm_technikai : public QDialog
{
    Q_OBJECT
public:
    enum Mode { Maintenance = 0, Refresh = 1, Backup = 2, YearChange = 3, ExportImport = 4 };

    explicit Tfrm_technikai(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_technikai() override;

    void setMode(int mode);
    int mode() const { return m_mode; }
    void setReturnCaption(const QString &caption);
    void refreshGrid();

Q_SIGNALS:
    // The current year of the run state changed: the main window's caption names it.
    void yearChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void bbtn_beolvasClick();
    void bbtn_megszuntetClick();
    void bbtn_letrehozClick();
    void bbtn_exportClick();
    void bbtn_importClick();
    void bbtn_evvaltClick();
    void cmb_evvaltChange();
    void bbtn_evmentClick();
    void openYearPage();
    bool askYes(const QString &line1, const QString &line2);
    QRadioButton *selectedRadio() const;
    void setWorking(bool working);
    void progress(int line, qint64 position, qint64 size);

    std::unique_ptr<Ui::Tfrm_technikai> ui;
    AppContext &m_context;
    int m_mode = Maintenance;
    QString m_openingYear;
};
