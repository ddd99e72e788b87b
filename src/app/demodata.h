#pragma once

#include <QString>

class DataModule;

// What a demo installation holds besides the reference data: an ordinary company and the prison
// service, three persons of the company with relations on record and one completed report.
namespace DemoData
{
bool add(DataModule &data, QString *error);
}
