#pragma once

#include <QString>

struct AppContext;

// The check behind the login window's OK button, without the window.
class Login
{
public:
    enum class Outcome {
        WrongPassword, // no such user with this password; the window stays open
        Ended,         // rights level 0
        BadStructure,  // the backup folder is missing
        StoreFailure,  // a table could not be read; the window stays open
        LoggedIn,      // current structure: may continue
        UpgradeNeeded, // previous structure: ask before upgrading
    };
    struct Result {
        Outcome outcome = Outcome::StoreFailure;
        QString userName, familyName, givenName;
        int rights = 0;
        bool hasPersonNames = true; // jel_tete has SZUL_DAT
        bool plainPassword = false; // the row still holds the password itself
    };

    explicit Login(AppContext &context) : m_context(context) {}

    // Also copies the user's names and rights into the run state when the user is found.
    Result check(const QString &name, const QString &password);

    // Replaces a password kept as typed (an older installation) by its digest, widening the
    // password column first when it is still the old one; false when that fails.
    bool storeDigest(const QString &name, const QString &password);

    // Remembers the user and, on the very first run, writes the initial settings.
    static void settingsStep(const QString &userName);

private:
    AppContext &m_context;
};
