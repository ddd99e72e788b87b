#include "passworddigest.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace PasswordDigest
{

namespace
{
const QString Method = QStringLiteral("pbkdf2-sha256");
constexpr int Iterations = 100000;
constexpr int DigestLength = 32;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              iterations, DigestLength);
}
} // namespace

QString make(const QString &password)
{
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                          salt.size() / int(sizeof(quint32)));
    return QStringList{Method, QString::number(Iterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(derive(password, salt, Iterations).toBase64())}
        .join(u'$');
}

bool isDigest(const QString &stored)
{
    return stored.startsWith(Method + u'$') && stored.count(u'$') == 3;
}

bool verify(const QString &password, const QString &stored)
{
    if (!isDigest(stored)) return false;
    const QStringList parts = stored.split(u'$');
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > 10000000) return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    if (salt.isEmpty() || expected.size() != DigestLength) return false;
    const QByteArray actual = derive(password, salt, iterations);
    // Compared in full, whatever the first difference.
    int difference = 0;
    for (int i = 0; i < DigestLength; ++i)
        difference |= actual[i] ^ expected[i];
    return difference == 0;
}

} // namespace PasswordDigest
