#include "userstore.h"

#include "passworddigest.h"
#include "storequery.h"
#include "transaction.h"

std::optional<QList<UserStore::User>> UserStore::users()
{
    QList<User> list;
    if (!StoreQuery::select(m_data,
                            {QStringLiteral("select * from jelszo where USER_ID <> :ui"),
                             QStringLiteral("order by USER_ID")},
                            {1}, [&](Query &q) {
                                list << User{q.integer(QStringLiteral("USER_ID")),
                                             q.text(QStringLiteral("USER_NAME")),
                                             q.text(QStringLiteral("VEZ_NEV")),
                                             q.text(QStringLiteral("UTO_NEV")),
                                             q.integer(QStringLiteral("JOG")),
                                             !q.text(QStringLiteral("PASS")).isEmpty()};
                            }))
        return std::nullopt;
    return list;
}

std::optional<bool> UserStore::nameTaken(const QString &name, int exceptId)
{
    return StoreQuery::any(
        m_data,
        {QStringLiteral("select USER_ID from jelszo where upper(USER_NAME) = upper(:un) and "
                        "USER_ID <> :id")},
        {name, exceptId});
}

UserStore::Saved UserStore::insert(const User &user, const QString &password, QString *error)
{
    Transaction transaction(m_data.db());
    const auto taken = nameTaken(user.name, -1);
    if (!transaction.isOpen() || !taken) return Saved::Failed;
    if (*taken) return Saved::NameTaken;
    const auto highest =
        StoreQuery::firstText(m_data, {QStringLiteral("select max(USER_ID) szam from jelszo")}, {},
                              QStringLiteral("szam"));
    if (!highest) return Saved::Failed;
    const bool ok = StoreQuery::execute(
        m_data,
        {QStringLiteral("insert into jelszo (USER_ID, USER_NAME, VEZ_NEV, UTO_NEV, PASS, JOG)"),
         QStringLiteral("values (:id, :un, :vn, :un2, :pw, :jog)")},
        {highest->toInt() + 1, user.name, user.familyName, user.givenName,
         PasswordDigest::make(password), user.rights},
        error);
    return ok && transaction.commit() ? Saved::Ok : Saved::Failed;
}

UserStore::Saved UserStore::update(int id, const User &user, const QString &password,
                                   QString *error)
{
    Transaction transaction(m_data.db());
    const auto taken = nameTaken(user.name, id);
    if (!transaction.isOpen() || !taken) return Saved::Failed;
    if (*taken) return Saved::NameTaken;
    bool ok = StoreQuery::execute(
        m_data,
        {QStringLiteral("update jelszo set USER_NAME = :un, VEZ_NEV = :vn, UTO_NEV = :un2"),
         QStringLiteral("where USER_ID = :id")},
        {user.name, user.familyName, user.givenName, id}, error);
    if (ok && !password.isEmpty())
        ok = StoreQuery::execute(
            m_data, {QStringLiteral("update jelszo set PASS = :pw where USER_ID = :id")},
            {PasswordDigest::make(password), id}, error);
    return ok && transaction.commit() ? Saved::Ok : Saved::Failed;
}

bool UserStore::updateRights(const QString &name, int rights, QString *error)
{
    return StoreQuery::execute(m_data,
                               {QStringLiteral("update jelszo"), QStringLiteral("set jog = :j"),
                                QStringLiteral("where user_name = :un")},
                               {rights, name.left(20)}, error);
}
