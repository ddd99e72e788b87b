#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The OEP reference files: which table each fills, how its lines split and what goes where.
struct ReferenceFile {
    QString radio;        // radio button of the technical window
    QString table;        // table it fills
    QString settingsName; // settings value holding the date of the last load
    QString dialogTitle;
    QString fileName; // default file name; also how the command line recognises the file
    QString filter;   // "description|pattern"
    QChar separator;
    QString deleteSql;
    QStringList insertSql;
    int fieldsNeeded; // the highest field index used, plus one
    // The insert's parameters from the line's fields; an error text instead when a value is bad.
    std::function<QList<QVariant>(const QStringList &fields, QString *error)> parameters;
};

namespace ReferenceFiles
{

const QList<ReferenceFile> &all();
const ReferenceFile *byRadio(const QString &radio);
// By file name, case ignored ("IRSZ.TXT" is the postcode file).
const ReferenceFile *byFileName(const QString &path);

// Splits a line at the separator. No quoting; empty fields between separators are kept; a
// separator at the very end yields no trailing empty field; an empty line yields no field.
QStringList splitLine(QStringView line, QChar separator);

} // namespace ReferenceFiles
