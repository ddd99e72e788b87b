#include "bvopconfirmation.h"
#include "storefailure.h"

#include "datamodule.h"
#include "identifierchecks.h"
#include "paradoxtable.h"
#include "transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>

#include <algorithm>

namespace
{
const QStringList Fields = {"eredeti_taj",     "csaladi_nev",     "utonev",
                            "szuletes_datumk", "szuletesi_helye", "taj_szam"};

QString named(const BvopConfirmation::Record &r)
{
    return QStringLiteral(" következő :") + r.person.taj + u' ' + r.person.familyName + u' ' +
           r.person.givenName;
}
} // namespace

BvopConfirmation::Step BvopConfirmation::open(const QString &path)
{
    Step s;
    m_records.clear();
    m_errors = m_applied = 0;
    const QFileInfo info(path);
    s.log << QStringLiteral(" A(z): ") + QDir::toNativeSeparators(info.absolutePath() + u'/') +
                 info.fileName() + QStringLiteral(" fájl megnyitása.");
    const ParadoxTable::Result table = ParadoxTable::read(path, Fields);
    if (!table.ok) {
        s.message = table.error;
        return s;
    }
    for (const QStringList &v : table.records) {
        auto text = [&](int i) { return v[i].trimmed(); };
        m_records << Record{{text(0), text(1), text(2), text(3), text(4)}, text(5)};
    }
    std::stable_sort(m_records.begin(), m_records.end(),
                     [](const Record &a, const Record &b) { return a.person.taj < b.person.taj; });
    if (m_records.isEmpty()) {
        s.log << QStringLiteral(" A megnyitott állomány nem tartalmaz tételeket. ") << QString()
              << QStringLiteral(" A beolvasás nem folytatható !");
        return s;
    }
    s.log << QStringLiteral(" Az állomány %1 tételt tartalmaz.").arg(m_records.size())
          << QStringLiteral(" Az \"Ellenőrzés\" gombra kattintva folytatható a beolvasás.")
          << QString();
    s.ok = true;
    return s;
}

BvopConfirmation::Verdict BvopConfirmation::judge(const Record &r, QSet<QString> &provisional,
                                                  QSet<QString> &real, QString *error)
{
    // A second record of the same person finds the number already replaced.
    if (provisional.contains(r.person.taj)) return Verdict::Repeated;
    const auto found = DetaineeStore(m_data).matches(r.person, error);
    if (!found) return Verdict::Failed;
    if (!*found) return Verdict::NotFound;
    // A number of the provisional form is no real number.
    if (r.realTaj.size() != 9 || r.realTaj == u"000000000" || r.realTaj.startsWith(u'9') ||
        !TajEllenor(r.realTaj))
        return Verdict::InvalidTaj;
    if (r.realTaj != r.person.taj) {
        const auto taken = DetaineeStore(m_data).tajTaken(r.realTaj, error);
        if (!taken) return Verdict::Failed;
        if (*taken || real.contains(r.realTaj)) return Verdict::TakenTaj;
    }
    provisional.insert(r.person.taj);
    real.insert(r.realTaj);
    return Verdict::Apply;
}

BvopConfirmation::Step BvopConfirmation::check()
{
    Step s;
    s.log << QStringLiteral(" Ellenőrzés...");
    m_errors = 0;
    QSet<QString> provisional, real;
    for (const Record &r : std::as_const(m_records)) {
        QString error;
        QString reason;
        switch (judge(r, provisional, real, &error)) {
        case Verdict::Apply:
            continue;
        case Verdict::Failed:
            s.log << QStringLiteral(" Hiba az állomány ellenőrzése közben !")
                  << QStringLiteral(" A beolvasás nem folytatható !");
            s.message = error;
            return s;
        case Verdict::NotFound:
            reason = QStringLiteral(" nincs a Tarvik adatbázisában ");
            break;
        case Verdict::InvalidTaj:
            reason = QStringLiteral(" visszaigazolt TAJ száma (%1) hibás ").arg(r.realTaj);
            break;
        case Verdict::TakenTaj:
            reason =
                QStringLiteral(" visszaigazolt TAJ száma (%1) már másik személyé ").arg(r.realTaj);
            break;
        case Verdict::Repeated:
            reason = QStringLiteral(" eredeti TAJ száma egy előző tételben már szerepelt ");
            break;
        }
        s.log << named(r) << reason << QString();
        ++m_errors;
    }
    if (m_errors > 0)
        s.log
            << QStringLiteral(" A beolvasni kívánt adatállomány %1 hibát tartalmaz !").arg(m_errors)
            << QString() << QStringLiteral(" A hibák ellenére folytatja ?!")
            << QStringLiteral(" A hibás tételek nem kerülnek feldolgozásra.") << QString()
            << QStringLiteral(
                   " A \"Beolvasás indítása\" gombra kattintva folytatható a beolvasás...")
            << QString();
    else
        s.log << QStringLiteral(" Az összes tétel megtalálható a Tarvik adatbázisában")
              << QStringLiteral(" A \"Beolvasás indítása\" gombra kattintva folytatható a "
                                "beolvasás.")
              << QString();
    s.ok = true;
    return s;
}

BvopConfirmation::Step BvopConfirmation::apply()
{
    Step s;
    s.log << QStringLiteral(" Állomány fogadása...") << QString();
    m_applied = 0;
    auto fail = [&](const QString &error) {
        s.log << QStringLiteral(" ") + updateFailed();
        s.message = updateFailed() + QStringLiteral("\n\r") + error;
        return s;
    };
    Transaction transaction(m_data.db());
    if (!transaction.isOpen()) return fail(StoreFailure::text(m_data.db().lastError()));
    QStringList updated;
    int count = 0;
    // Every record is judged against the register as it was before the first renumbering, as
    // the check judged it: one record's new number never changes the verdict on another.
    QSet<QString> provisional, real;
    QList<const Record *> applicable;
    for (const Record &r : std::as_const(m_records)) {
        QString error;
        const Verdict verdict = judge(r, provisional, real, &error);
        if (verdict == Verdict::Failed) return fail(error);
        if (verdict == Verdict::Apply) applicable << &r;
    }
    DetaineeStore store(m_data);
    for (const Record *record : std::as_const(applicable)) {
        const Record &r = *record;
        QString error;
        if (!store.renumber(r.person, r.realTaj, &error)) return fail(error);
        updated << QStringLiteral(" a(z) ") + r.person.taj + QStringLiteral(" taj ") + r.realTaj +
                       QStringLiteral(" taj számra frissítve.");
        ++count;
    }
    if (!transaction.commit()) return fail(StoreFailure::text(m_data.db().lastError()));
    m_applied = count;
    s.log << updated << QString() << QStringLiteral(" A feldolgozás kész !")
          << QStringLiteral(" %1 darab taj frissítve.").arg(count);
    s.message = QStringLiteral("Az állomány frissítése megtörtént.");
    s.ok = true;
    return s;
}

bool BvopConfirmation::saveLog(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    for (const QString &line : lines)
        file.write(line.toUtf8() + '\n');
    return file.commit();
}
