#pragma once

#include <QString>

class AliasConfig;

// Finds the data folder of the alias TARVIK at start, creating the alias from the install
// location when it is missing.
struct AliasSetup {
    QString dataFolder;
    QString message; // to show the user; empty when the alias existed
    bool saved = true;

    static AliasSetup run(AliasConfig &aliases);
};
