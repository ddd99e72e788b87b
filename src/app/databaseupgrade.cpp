#include "databaseupgrade.h"

#include "datamodule.h"
#include "namekeys.h"
#include "schema.h"
#include "transaction.h"

bool DatabaseUpgrade::execute(const QStringList &lines)
{
    Query q = m_data.query();
    q.clear();
    for (const QString &line : lines)
        q.add(line);
    if (!q.exec()) {
        m_error = q.lastError();
        return false;
    }
    q.close();
    return true;
}

bool DatabaseUpgrade::run(bool addPersonNames)
{
    m_error.clear();
    Transaction transaction(m_data.db());
    if (!transaction.isOpen()) {
        m_error = QStringLiteral("no transaction");
        return false;
    }
    const QList<QStringList> first = {
        {QStringLiteral("alter table foglalk "), QStringLiteral("add JARAS_KOD CHAR(3)")},
        {QStringLiteral("update foglalk "), QStringLiteral("set JARAS_KOD = '000' ")},
        {QStringLiteral("alter table jel_fej "), QStringLiteral("add FAJL_NEV_OLD char(21)")},
        {QStringLiteral("update jel_fej "), QStringLiteral("set fajl_nev_old = fajl_nev ")},
        {QStringLiteral("alter table jel_fej "), QStringLiteral("drop fajl_nev")},
        {QStringLiteral("alter table jel_fej "), QStringLiteral("add FAJL_NEV char(25)")},
    };
    for (const QStringList &statement : first)
        if (!execute(statement)) return false;

    Query count = m_data.query();
    count.add(QStringLiteral(
        "select count(*) as db from jel_fej where jel_tip is null or foglalk_id = 0 "));
    if (!count.open() || !count.next()) {
        m_error = count.lastError();
        return false;
    }
    const int orphans = count.integer(QStringLiteral("db"));
    count.close();
    if (orphans > 0 &&
        !execute({QStringLiteral("delete from jel_fej where jel_tip is null or foglalk_id = 0")}))
        return false;

    const QList<QStringList> rest = {
        {QStringLiteral("update jel_fej t1"), QStringLiteral("set FAJL_NEV = "),
         QStringLiteral("(select substring(fajl_nev_old from 1 for 17) from jel_fej t2 where "
                        "t1.jel_szam = t2.jel_szam and t1.foglalk_id = t2.foglalk_id )+'_000'+ "),
         QStringLiteral("(select substring(fajl_nev_old from 18 for 21) from jel_fej t2 where "
                        "t1.jel_szam = t2.jel_szam and t1.foglalk_id = t2.foglalk_id) ")},
        {QStringLiteral("alter table jel_fej "), QStringLiteral("drop fajl_nev_old")},
    };
    for (const QStringList &statement : rest)
        if (!execute(statement)) return false;

    if (addPersonNames) {
        const QStringList adds = {
            QStringLiteral(
                "add SZUL_DAT CHAR(10), add SZUL_HELY CHAR(30), add UTO_NEV_2 CHAR(20),"),
            QStringLiteral("add SZ_VEZ_NEV CHAR(50), add SZ_UTO_NEV_1 CHAR(20), add SZ_UTO_NEV_2 "
                           "CHAR(20),"),
            QStringLiteral("add A_VEZ_NEV CHAR(50), add A_UTO_NEV_1 CHAR(20), add A_UTO_NEV_2 "
                           "CHAR(20)")};
        for (const char *table :
             {"alter table jel_temp ", "alter table jel_tete ", "alter table taj "})
            if (!execute(QStringList{QLatin1String(table)} + adds)) return false;
    }
    // Passwords are kept as digests, which need a wider column than the old eight characters.
    const auto narrow = Schema::passwordsNarrow(m_data.db());
    if (!narrow) {
        m_error = QStringLiteral("a jelszo tábla nem olvasható");
        return false;
    }
    if (*narrow && !Schema::widenPasswords(m_data.db(), &m_error)) return false;
    if (!Schema::digestPlainPasswords(m_data.db(), &m_error)) return false;
    if (!NameKeys::ensure(m_data.db(), &m_error) || !NameKeys::refresh(m_data.db(), &m_error))
        return false;
    if (!transaction.commit()) {
        m_error = QStringLiteral("commit failed");
        return false;
    }
    return true;
}
