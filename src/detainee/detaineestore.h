#pragma once

#include <QString>

#include <optional>

class DataModule;

// The SQL of the confirmation: the person a record names, whether a TAJ number is taken, and
// the two updates that give a person the real number.
class DetaineeStore
{
public:
    explicit DetaineeStore(DataModule &data) : m_data(data) {}

    struct Person {
        QString taj, familyName, givenName, birthDate, birthPlace;
    };
    // Whether the register holds exactly this person under this number; empty when it fails.
    std::optional<bool> matches(const Person &person, QString *error);
    // Whether a person stands under the number; empty when it fails.
    std::optional<bool> tajTaken(const QString &taj, QString *error);
    // The person's row and every relation of the person, of any employer, to the real number.
    bool renumber(const Person &person, const QString &realTaj, QString *error);

private:
    DataModule &m_data;
};
