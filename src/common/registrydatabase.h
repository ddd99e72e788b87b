#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// Where the per-user settings, the machine-wide values and the alias configuration live.
// TARVIK_SETTINGS_DIR redirects all of them (tests, portable installs).
namespace SettingsLocation
{
QString folder();
QString aliasFile();
} // namespace SettingsLocation

// The settings component: a value named DataName under SubKey of a root key.
// On Windows the roots are the registry; elsewhere each root is an INI file in the settings folder.
class TRegistryDataBase
{
public:
    enum TKeys { kHKEY_CLASSES_ROOT, kHKEY_CURRENT_USER, kHKEY_LOCAL_MACHINE, kHKEY_USERS };
    enum TDataType {
        dtBoolean,
        dtCurrency,
        dtDate,
        dtDateTime,
        dtFloat,
        dtInteger,
        dtString,
        dtTime
    };

    TRegistryDataBase();
    ~TRegistryDataBase();

    TKeys Key = kHKEY_CURRENT_USER;
    QString SubKey;
    QString DataName;
    TDataType DataType = dtString;

    void WriteValue(const QVariant &value);
    // A missing key or value reads as an empty string.
    QVariant ReadValue();

private:
    QString settingsKey();
    QSettings &accessor();
    std::unique_ptr<QSettings> m_settings;
    TKeys m_openRoot = kHKEY_CURRENT_USER;
};

// The program's own key and the names of its values.
namespace Settings
{
inline const QString Key = QStringLiteral("\\Software\\Korvant\\Tarvik");

QString read(const QString &name);
void write(const QString &name, const QString &value);
// Machine-wide values the installer leaves (App Paths "Path", uninstall "InstallLocation").
QString readMachine(const QString &subKey, const QString &name);
void writeMachine(const QString &subKey, const QString &name, const QString &value);

inline const QString AppPathsKey =
    QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvik.exe");
inline const QString UninstallKey =
    QStringLiteral("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvik_is1");
} // namespace Settings
