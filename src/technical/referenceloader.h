#pragma once

#include "referencefiles.h"

#include <QString>

#include <functional>

class DataModule;

// Empties a reference table and fills it from its OEP file, in one transaction: a bad line leaves
// the table exactly as it was.
class ReferenceLoader
{
public:
    struct Result {
        bool ok = false;
        int lines = 0;      // lines loaded
        int failedLine = 0; // 1-based; 0 when the file itself failed
        bool emptyFailed = false;
        QString error; // the message to show, naming the file and the line
    };
    // Called after every line with the line count and the position in the file.
    using Progress = std::function<void(int line, qint64 position, qint64 size)>;

    explicit ReferenceLoader(DataModule &data) : m_data(data) {}

    Result load(const ReferenceFile &file, const QString &path, const Progress &progress = {});
    // Every reference file bundled with the program, as a new installation gets them; each
    // loaded file's name and line count go to the report. Stops at the first failure.
    Result loadBundled(const std::function<void(const QString &file, int lines)> &report = {});

private:
    DataModule &m_data;
};
