#pragma once

#include <QSqlError>
#include <QString>

// What a clerk is told when the store fails, and what the installation's log keeps of it. A
// server's own words (libpq's English, SQL states) go to the log; the clerk gets a short
// Hungarian reason. SQLite's texts, which name the program's own tables and rules, pass as
// they are.
namespace StoreFailure
{

// The reason of a failed statement, in the clerk's words on a server.
QString text(const QSqlError &error);
// The reason a server connection could not be made, from libpq's text.
QString connectText(const QString &libpqText);

// The connection to the server is gone.
QString lostText();

// Another clerk holds the lock of the same reports for longer than a clerk is kept waiting.
QString busyText();
// How long a step waits for another clerk's lock before it gives up.
constexpr int LockWaitSeconds = 10;

// The log of the installation the program works on (adatok/tarvik.log); until one is set,
// nothing is logged.
void setLogFolder(const QString &dataFolder);
void log(const QString &text);

// Whether a server address carries a password in any of its forms (user:password@, the
// parameter password=, the keyword form), and the address as it may be shown: every password
// replaced by asterisks.
bool hasPassword(const QString &address);
QString shown(const QString &address);

} // namespace StoreFailure
