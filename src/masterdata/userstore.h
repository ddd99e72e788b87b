#pragma once

#include <QList>
#include <QString>

#include <optional>

class DataModule;

// The SQL of user administration. The row with USER_ID 1 belongs to the program and is never
// listed, counted or changed here; passwords go in as digests.
class UserStore
{
public:
    explicit UserStore(DataModule &data) : m_data(data) {}

    struct User {
        int id = 0;
        QString name, familyName, givenName;
        int rights = 0;
        bool hasPassword = false;
    };
    std::optional<QList<User>> users();

    enum class Saved { Ok, NameTaken, Failed };
    // A new user under the next number after the highest in use.
    Saved insert(const User &user, const QString &password, QString *error = nullptr);
    // Names, and the password when a new one is given (empty keeps the old one).
    Saved update(int id, const User &user, const QString &password, QString *error = nullptr);
    bool updateRights(const QString &name, int rights, QString *error = nullptr);

private:
    std::optional<bool> nameTaken(const QString &name, int exceptId);

    DataModule &m_data;
};
