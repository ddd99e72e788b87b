#pragma once

#include <QString>

// Passwords are kept as salted PBKDF2-SHA256 digests in a text that names its own method:
// "pbkdf2-sha256$iterations$salt$digest", salt and digest in Base64.
namespace PasswordDigest
{

QString make(const QString &password);
// Whether the password gives the stored digest; a stored text that is no digest never matches.
bool verify(const QString &password, const QString &stored);
bool isDigest(const QString &stored);

} // namespace PasswordDigest
