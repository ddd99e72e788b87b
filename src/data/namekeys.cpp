#include "namekeys.h"
#include "storefailure.h"

#include "dialect.h"
#include "hungarianorder.h"
#include "schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace NameKeys
{

namespace
{
bool failed(const QSqlQuery &q, QString *error)
{
    if (error) *error = StoreFailure::text(q.lastError());
    return false;
}
} // namespace

bool ensure(QSqlDatabase db, QString *error)
{
    if (db.record(QStringLiteral("taj")).contains(QStringLiteral("NEV_KULCS"))) return true;
    const Schema::Table *taj = Schema::table(QStringLiteral("taj"));
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("alter table taj add ") +
                Schema::columnDefinition(QStringLiteral("NEV_KULCS"), Schema::Kind::Key, 0,
                                         Dialect::of(db))))
        return failed(q, error);
    for (const Schema::Index &i : taj->indexes)
        if (i.name == u"idx_nev_kulcs" &&
            !q.exec(QStringLiteral("create index %1 on taj (%2)").arg(i.name, i.columns)))
            return failed(q, error);
    for (const QString &sql : Schema::createTriggerSql(*taj, Dialect::of(db)))
        if (!q.exec(sql)) return failed(q, error);
    return true;
}

bool refresh(QSqlDatabase db, QString *error)
{
    QSqlQuery missing(db);
    missing.setForwardOnly(true);
    if (!missing.exec(QStringLiteral("select TAJ, VEZ_NEV, UTO_NEV, UTO_NEV_2 from taj where "
                                     "NEV_KULCS is null and TAJ is not null")))
        return failed(missing, error);
    QList<QPair<QString, QByteArray>> keys;
    while (missing.next())
        keys << qMakePair(missing.value(0).toString(),
                          HungarianOrder::nameKey(missing.value(1).toString(),
                                                  missing.value(2).toString(),
                                                  missing.value(3).toString()));
    missing.finish();
    if (keys.isEmpty()) return true;
    // Inside a caller's transaction the keys go with it; otherwise they are written at once.
    const bool own = Dialect::beginIfOutside(db);
    QSqlQuery update(db);
    if (!update.prepare(QStringLiteral("update taj set NEV_KULCS = ? where TAJ = ?")))
        return failed(update, error);
    for (const auto &[taj, key] : keys) {
        update.addBindValue(key);
        update.addBindValue(taj);
        if (!update.exec()) {
            if (own) db.rollback();
            return failed(update, error);
        }
    }
    if (own && !db.commit()) {
        db.rollback();
        if (error) *error = StoreFailure::text(db.lastError());
        return false;
    }
    return true;
}

} // namespace NameKeys
