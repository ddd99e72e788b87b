#pragma once

#include <QString>

// What the main window keeps for the whole run and other windows read.
struct RunState {
    QString userFamilyName; // at most 40
    QString userGivenName;  // at most 15
    QString userName;       // login name
    int rightsLevel = 0;    // 0 ended, 1 query, 2 general, 3 administrator
    bool mayContinue = false;
    QString updateUrl; // at most 50
    QString year, month, day;
    QString version;
    int processorArchitecture = 0;
    bool prisonService = false;

    static inline const QString PrisonServiceBase = QStringLiteral("15752026");
    static inline const QString SecondSpecialBase = QStringLiteral("15329729");

    // Fills the date parts, the version and the architecture.
    void initialise();
    // Name of a rights level as every window shows it.
    static QString rightsLevelName(int level);
};
