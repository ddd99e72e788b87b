#pragma once

#include <QDialog>
#include <QSqlRecord>

#include <memory>

class RecordModel;
namespace Ui
{
class Tfrm_munkaviszony;
}

// The choice among several recorded employments (title 1101) of a person: the row current when
// "Tovább" is pressed is the one the entry line is filled from.
class Tfrm_munkaviszony : public QDialog
{
    Q_OBJECT
public:
    Tfrm_munkaviszony(const QList<QSqlRecord> &relations, QWidget *parent = nullptr);
    ~Tfrm_munkaviszony() override;

    int chosenRow() const;

private:
    std::unique_ptr<Ui::Tfrm_munkaviszony> ui;
    RecordModel *m_model;
};
