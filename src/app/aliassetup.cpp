#include "aliassetup.h"

#include "aliasconfig.h"
#include "datamodule.h"
#include "registrydatabase.h"

#include <QDir>

AliasSetup AliasSetup::run(AliasConfig &aliases)
{
    const QString &alias = DataModule::Alias;
    AliasSetup r;
    if (aliases.exists(alias)) {
        r.dataFolder = aliases.path(alias);
        return r;
    }
    const QString created = QStringLiteral("A(z) ") + alias +
                            QStringLiteral(" alias nem létezett!") + QStringLiteral("\n\r") +
                            QStringLiteral("Sikeresen létrehozva : ");
    QString base = Settings::readMachine(Settings::AppPathsKey, QStringLiteral("Path"));
    if (base.isEmpty())
        base = Settings::readMachine(Settings::UninstallKey, QStringLiteral("InstallLocation"));
    if (!base.isEmpty()) {
        r.dataFolder = base + QStringLiteral("adatok");
        r.message = created + r.dataFolder;
    } else {
        const QString installDir = Settings::read(QStringLiteral("InstallDir"));
        r.message = installDir.isEmpty()
                        ? QStringLiteral("A(z) ") + alias +
                              QStringLiteral(" \\Adatok útvonalát nem sikerült beállítani !") +
                              QStringLiteral("\n\r") +
                              QStringLiteral("Ezt kézzel kell megtenni a Vezérlőpult/BDE "
                                             "Admin-ban TARVIK/PATH-nál")
                        : created + installDir;
        r.dataFolder = installDir + QDir::separator() + QStringLiteral("adatok");
    }
    aliases.create(alias, DataModule::Driver, r.dataFolder);
    r.saved = aliases.save();
    return r;
}
