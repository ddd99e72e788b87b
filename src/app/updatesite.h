#pragma once

#include <QString>

// The update site: its address from the URL file, the names of the installers and the
// reference package, and downloads that never leave half a file and never wait for ever.
namespace UpdateSite
{

inline const QString PackageName = QStringLiteral("oep_friss.zip");
// The check at start takes this long at most, whatever the site does.
constexpr int StartLimitMs = 5000;
// The largest files the site may send: a signature, an installer, the reference package. A
// larger one is given up as it arrives and nothing of it is kept.
constexpr qint64 SignatureMaxBytes = 4 * 1024;
constexpr qint64 InstallerMaxBytes = 256 * 1024 * 1024;
constexpr qint64 PackageMaxBytes = 64 * 1024 * 1024;
// A download of the update window ends after this long in all.
constexpr int WindowLimitMs = 30 * 60 * 1000;

// The address of the last line that starts with "URL": from its fifth character, trimmed, at
// most 50 characters. Empty when the file cannot be read or the address is not http(s).
QString readUrlFile(const QString &path);
// Only http and https addresses are followed.
bool isFollowed(const QString &address);

// The installer the start looks for: the release and build digits taken as one number plus 1
// (1.0.0.7 gives 8, 1.0.4.3 gives 44).
QString startInstallerName(const QString &version, bool x64);
// The installer of the update window: the four parts joined (1, 0, 0, 8 give 1008).
QString windowInstallerName(const QString &digits, bool x64);
// The Windows processor codes that mean a 64-bit system: 6 (Itanium) and 9 (x64).
bool is64Bit(int processorArchitecture);

struct Download {
    bool ok = false;
    // The file arrived but its signature did not verify: it was not kept.
    bool unverified = false;
    // The clerk stopped it.
    bool stopped = false;
    QString error;
};

// What a download may take: the time without a byte, the time in all (the file and its
// signature together), the size of the file; and, for the update window, the flag its stop
// button sets and whether the window stays usable meanwhile.
struct Limits {
    int idleMs = StartLimitMs;
    int totalMs = StartLimitMs;
    qint64 maxBytes = InstallerMaxBytes;
    const bool *stop = nullptr;
    bool keepInput = false;
};
// Fetches the address into the file: the file takes its name only when the whole body has
// arrived with a success status and its signature (the address + ".minisig") verifies against
// the release key; otherwise nothing of that name is left in the folder, unless an older
// download stays as it was when nothing arrived. The download fails when nothing arrives for
// idleLimitMs, or when it has not ended after totalLimitMs (0: no total limit). Window messages
// keep running meanwhile.
Download fetch(const QString &address, const QString &file, const Limits &limits);
// The same with the installer's size limit and no window (0: the window's total limit).
Download fetch(const QString &address, const QString &file, int idleLimitMs, int totalLimitMs = 0);

// The check at start: the next version's installer fetched into the program folder within the
// start's time limit. The path when a signed one was found; `unverified` when one arrived whose
// signature did not verify.
struct StartCheck {
    QString installer;
    bool unverified = false;
};
StartCheck checkAtStart(const QString &site, const QString &version, int processorArchitecture,
                        const QString &programFolder);

// What the clerk is told about a download whose signature did not verify.
QString unverifiedMessage(const QString &file, bool installer);
// What the clerk is told when an installer could not be started: the program goes on.
QString installerNotStarted(const QString &file);

} // namespace UpdateSite

// Starts a downloaded installer and ends the program: the one place that does either, so that
// tests can put a recorder in its place.
class Launcher
{
public:
    virtual ~Launcher() = default;
    // Ends the program only when the installer really started; false when it did not.
    virtual bool startAndQuit(const QString &file) = 0;

    static Launcher &instance();
    // nullptr puts the real one back.
    static void install(Launcher *launcher);
};
