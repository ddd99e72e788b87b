#pragma once

#include "reportfile.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <utility>

// Report files as another program sends them, for the receiving tests.
namespace ExternalFiles
{

// The demo employer's tax number.
inline const QString Tax = QStringLiteral("12345676242");

// A line of the input layout: each value at its 1-based column, blanks between.
inline QByteArray at(std::initializer_list<std::pair<int, QString>> values)
{
    QString line;
    for (const auto &[column, value] : values) {
        if (line.size() < column - 1) line += QString(column - 1 - line.size(), u' ');
        line.replace(column - 1, value.size(), value);
    }
    return *ReportFile::encode(line);
}

inline QByteArray header(const QString &items = "1", const QString &sequence = "2",
                         const QString &tax = Tax, const QString &postcode = "1011",
                         const QString &founded = "2010.01.04")
{
    return at({{1, "09"},
               {3, sequence},
               {8, items},
               {41, "2026.12.01"},
               {51, "Demo Kereskedelmi Kft"},
               {101, postcode},
               {105, "FŐ UTCA"},
               {155, "12"},
               {182, "0611234567"},
               {236, "123456781000000100000000"},
               {260, "010"},
               {263, founded},
               {283, "IN"},
               {285, "KISS PÁL"},
               {335, tax}});
}

inline QByteArray item(int n, const QString &taj, const QString &family,
                       const QString &given = "ÉVA", const QString &sequence = "2",
                       const QString &tax = Tax)
{
    return at({{1, "09"},
               {3, sequence},
               {8, QString::number(n)},
               {13, "N"},
               {14, tax},
               {25, taj},
               {34, "348"},
               {37, "1980.01.01"},
               {47, "PÉCS"},
               {77, family},
               {127, given},
               {351, "1101"},
               {355, "2026.11.02"}});
}

} // namespace ExternalFiles
