#include "registrydatabase.h"

#include "datetext.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace SettingsLocation
{

QString folder()
{
    const QString redirected = qEnvironmentVariable("TARVIK_SETTINGS_DIR");
    if (!redirected.isEmpty()) return redirected;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Korvant");
}

QString aliasFile()
{
    return folder() + QStringLiteral("/aliases.conf");
}

} // namespace SettingsLocation

TRegistryDataBase::TRegistryDataBase() = default;
TRegistryDataBase::~TRegistryDataBase() = default;

QSettings &TRegistryDataBase::accessor()
{
    if (!m_settings || m_openRoot != Key) {
        m_openRoot = Key;
#ifdef Q_OS_WIN
        // The registry, unless the settings were sent to a folder (a test's own, say).
        if (qEnvironmentVariableIsEmpty("TARVIK_SETTINGS_DIR")) {
            static const char *roots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                          "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
            m_settings = std::make_unique<QSettings>(QString::fromLatin1(roots[Key]),
                                                     QSettings::NativeFormat);
            return *m_settings;
        }
#endif
        static const char *files[] = {"classes.conf", "Tarvik.conf", "machine.conf", "users.conf"};
        QDir().mkpath(SettingsLocation::folder());
        m_settings = std::make_unique<QSettings>(SettingsLocation::folder() + u'/' +
                                                     QString::fromLatin1(files[Key]),
                                                 QSettings::IniFormat);
    }
    return *m_settings;
}

QString TRegistryDataBase::settingsKey()
{
    QString path = SubKey;
    path.replace(u'\\', u'/');
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    const QString key = path.isEmpty() ? DataName : path + u'/' + DataName;
    // Registry names ignore case; an INI file does not, so find the stored spelling.
    QSettings &s = accessor();
    if (s.contains(key)) return key;
    for (const QString &existing : s.allKeys())
        if (existing.compare(key, Qt::CaseInsensitive) == 0) return existing;
    return key;
}

void TRegistryDataBase::WriteValue(const QVariant &value)
{
    QString text;
    switch (DataType) {
    case dtBoolean:
        text = value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        break;
    case dtInteger:
        text = QString::number(value.toLongLong());
        break;
    case dtFloat:
    case dtCurrency:
        text = QString::number(value.toDouble());
        break;
    case dtDate:
        text = DateText::format(value.toDate());
        break;
    case dtDateTime:
        text = DateText::format(value.toDate()) + u' ' + value.toDateTime().time().toString();
        break;
    case dtTime:
        text = value.toTime().toString();
        break;
    case dtString:
        text = value.toString();
        break;
    }
    accessor().setValue(settingsKey(), text);
    accessor().sync();
}

QVariant TRegistryDataBase::ReadValue()
{
    const QString text = accessor().value(settingsKey()).toString();
    switch (DataType) {
    case dtBoolean:
        return text == u"1";
    case dtInteger:
        return text.toLongLong();
    case dtFloat:
    case dtCurrency:
        return text.toDouble();
    case dtDate:
        return DateText::parse(text);
    default:
        return text;
    }
}

namespace Settings
{

QString read(const QString &name)
{
    TRegistryDataBase reg;
    reg.SubKey = Key;
    reg.DataName = name;
    return reg.ReadValue().toString();
}

void write(const QString &name, const QString &value)
{
    TRegistryDataBase reg;
    reg.SubKey = Key;
    reg.DataName = name;
    reg.WriteValue(value);
}

QString readMachine(const QString &subKey, const QString &name)
{
    TRegistryDataBase reg;
    reg.Key = TRegistryDataBase::kHKEY_LOCAL_MACHINE;
    reg.SubKey = subKey;
    reg.DataName = name;
    return reg.ReadValue().toString();
}

void writeMachine(const QString &subKey, const QString &name, const QString &value)
{
    TRegistryDataBase reg;
    reg.Key = TRegistryDataBase::kHKEY_LOCAL_MACHINE;
    reg.SubKey = subKey;
    reg.DataName = name;
    reg.WriteValue(value);
}

} // namespace Settings
