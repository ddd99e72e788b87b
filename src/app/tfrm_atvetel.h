#pragma once

#include <QDialog>

#include <memory>

namespace Ui
{
class Tfrm_atvetel;
}
class DataModule;
class Installation;

// The take-over of an older installation: the clerk chooses its adatok folder, the window runs
// the migration and shows what it took over, table by table, or why it took over nothing.
class Tfrm_atvetel : public QDialog
{
public:
    Tfrm_atvetel(DataModule &data, const Installation &installation, QWidget *parent = nullptr);
    ~Tfrm_atvetel() override;

private:
    void sbtn_mappaClick();
    void bbtn_atvetelClick();

    std::unique_ptr<Ui::Tfrm_atvetel> ui;
    DataModule &m_data;
    const Installation &m_installation;
    QString m_folder;
};
