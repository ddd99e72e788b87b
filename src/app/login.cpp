#include "login.h"

#include "appcontext.h"
#include "datetext.h"
#include "passworddigest.h"
#include "registrydatabase.h"
#include "schema.h"
#include "transaction.h"

#include <QFileInfo>

Login::Result Login::check(const QString &name, const QString &password)
{
    Result r;
    DataModule &data = m_context.data;
    if (!data.isConnected()) return r;
    // Passwords an older installation kept as typed become digests, every user's at once: a
    // user who never logs in must not leave a password readable in the file.
    {
        Transaction transaction(data.db());
        if (transaction.isOpen() && Schema::digestPlainPasswords(data.db(), nullptr))
            transaction.commit();
    }
    Query q = data.query();
    q.add(QStringLiteral("select * from jelszo"));
    q.add(QStringLiteral("where user_name = :un"));
    q.setParams({name});
    if (!q.open()) return r;
    bool found = false;
    while (!found && q.next()) {
        const QString stored = q.text(QStringLiteral("PASS"));
        // An older installation kept the password itself; it logs in once as typed.
        r.plainPassword = !PasswordDigest::isDigest(stored);
        found = r.plainPassword ? !stored.isEmpty() && stored == password
                                : PasswordDigest::verify(password, stored);
    }
    if (!found) {
        q.close();
        r.outcome = Outcome::WrongPassword;
        return r;
    }
    r.userName = q.text(QStringLiteral("USER_NAME"));
    r.rights = q.integer(QStringLiteral("JOG"));
    r.familyName = q.text(QStringLiteral("VEZ_NEV")).left(40);
    r.givenName = q.text(QStringLiteral("UTO_NEV")).left(15);
    q.close();

    RunState &run = m_context.run;
    run.userName = r.userName;
    run.rightsLevel = r.rights;
    run.userFamilyName = r.familyName;
    run.userGivenName = r.givenName;

    if (r.rights == 0) {
        r.outcome = Outcome::Ended;
        return r;
    }
    if (!QFileInfo(m_context.installation.backupFolder()).isDir()) {
        r.outcome = Outcome::BadStructure;
        return r;
    }
    // The backup copies of foglalk and jel_fej must be there, and the tables readable.
    r.outcome = Outcome::StoreFailure;
    if (!data.connectBackup(m_context.installation.backupFolder(),
                            {QStringLiteral("foglalk"), QStringLiteral("jel_fej")}))
        return r;
    if (!data.hasTable(QStringLiteral("jel_fej"))) return r;
    const auto personNames = data.hasField(QStringLiteral("jel_tete"), QStringLiteral("SZUL_DAT"));
    const auto districts = data.hasField(QStringLiteral("foglalk"), QStringLiteral("JARAS_KOD"));
    if (!personNames || !districts) return r;
    r.hasPersonNames = *personNames;
    r.outcome = *districts ? Outcome::LoggedIn : Outcome::UpgradeNeeded;
    return r;
}

bool Login::storeDigest(const QString &name, const QString &password)
{
    DataModule &data = m_context.data;
    Transaction transaction(data.db());
    if (!transaction.isOpen()) return false;
    const auto narrow = Schema::passwordsNarrow(data.db());
    if (!narrow || (*narrow && !Schema::widenPasswords(data.db(), nullptr))) return false;
    Query q = data.query();
    q.add(QStringLiteral("update jelszo set pass = :pw"));
    q.add(QStringLiteral("where user_name = :un and pass = :old"));
    q.setParams({PasswordDigest::make(password), name, password});
    return q.exec() && transaction.commit();
}

void Login::settingsStep(const QString &userName)
{
    if (!Settings::read(QStringLiteral("Jelszo")).isEmpty()) {
        Settings::write(QStringLiteral("Felhasznalo"), userName);
        return;
    }
    const QString today = DateText::today();
    for (const char *name :
         {"Jogcim", "Mep", "Orszag", "Irsz", "Koz_ter", "Feor", "Jelszo", "Nyugdij", "Jarasok"})
        Settings::write(QLatin1String(name), today);
    Settings::write(QStringLiteral("Felhasznalo"), userName);
    Settings::write(QStringLiteral("Bejelentolap db"), QStringLiteral("1"));
    Settings::write(QStringLiteral("Nyilatkozat db"), QStringLiteral("1"));
}
