#pragma once

#include <QDialog>
#include <QSqlRecord>
#include <QVariantMap>

#include <memory>

class RecordModel;
namespace Ui
{
class Tfrm_javitas;
}

// The choice of an earlier reported line that a correction line cancels: the person's lines of
// completed reports that were filed as new, of any employer.
class Tfrm_javitas : public QDialog
{
    Q_OBJECT
public:
    Tfrm_javitas(const QList<QSqlRecord> &completedLines, QWidget *parent = nullptr);
    ~Tfrm_javitas() override;

    // The pending line that cancels the chosen line, under the given report and item number;
    // empty when no line is chosen.
    QVariantMap cancellingLine(int reportNumber, int itemNumber) const;

private:
    std::unique_ptr<Ui::Tfrm_javitas> ui;
    RecordModel *m_model;
};
