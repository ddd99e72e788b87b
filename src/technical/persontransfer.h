#pragma once

#include <QString>

#include <optional>

#include <functional>

class DataModule;

// Export and import of the persons (taj) and their relations (taj_jogcim) as fixed-width text
// files: "Taj_e.txt" in the layout "taj.txt" is read in (code page 852), "Tajj_e.txt" in the
// layout of "tajj.txt". A file written here imports elsewhere unchanged.
namespace PersonTransfer
{

enum class Kind { Persons, Relations };

struct Result {
    bool ok = false;
    bool nothing = false; // an empty table: the file is made empty
    QString message;      // the sentence to show
    QString error;        // the reason, shown after it
    QString path;
    int rows = 0; // the rows an import took in
};

QString exportFileName(Kind kind);

// Writes the file under a temporary name and renames it when every row is in; a value that does
// not fit its slot refuses the export and names the person and the field.
Result exportTable(DataModule &data, Kind kind, const QString &folder);

// The kind of an import file from its name, as the window's choice names them: tajj.txt holds
// relations, taj.txt persons; empty for any other name.
std::optional<Kind> kindOfFile(const QString &path);

using Progress = std::function<void(int line, qint64 position, qint64 size)>;
// All or nothing: one transaction for the file; a rejected line rolls every line back and is
// named with the store's reason. The registry date is written after the commit.
Result importFile(DataModule &data, Kind kind, const QString &path, const Progress &progress = {});

} // namespace PersonTransfer
