#include "releasesignature.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <sodium.h>

namespace ReleaseSignature
{

namespace
{
// The vendor's release key (minisign -G), given to the build; its secret half never leaves the
// vendor.
#ifndef TARVIK_RELEASE_KEY
#define TARVIK_RELEASE_KEY ""
#endif
const QByteArray ReleaseKey = QByteArray(TARVIK_RELEASE_KEY).trimmed();

QByteArray &trustedKey()
{
    static QByteArray key = ReleaseKey;
    return key;
}

constexpr int KeyIdSize = 8;

bool refuse(QString *why, const QString &reason)
{
    if (why) *why = reason;
    return false;
}
} // namespace

QString signatureAddress(const QString &fileAddress)
{
    return fileAddress + QStringLiteral(".minisig");
}

void useKey(const QByteArray &publicKeyBase64)
{
    trustedKey() = publicKeyBase64.isEmpty() ? ReleaseKey : publicKeyBase64;
}

bool hasKey()
{
    return !trustedKey().trimmed().isEmpty();
}

QString noKeyMessage()
{
    return QStringLiteral("Ez a program kiadói kulcs nélkül készült, ezért frissítést nem fogad "
                          "el.\n\rA frissítést a kiadótól kapott telepítővel végezze el.");
}

bool verify(const QByteArray &content, const QByteArray &signature, const QString &fileName,
            QString *why)
{
    if (!hasKey()) return refuse(why, QStringLiteral("a program kiadói kulcs nélkül készült"));
    if (sodium_init() < 0) return refuse(why, QStringLiteral("a titkosító könyvtár nem indul"));
    // The key: "Ed", the key id, the 32-byte public key.
    const QByteArray key = QByteArray::fromBase64(trustedKey().trimmed());
    if (key.size() != 2 + KeyIdSize + crypto_sign_PUBLICKEYBYTES || !key.startsWith("Ed"))
        return refuse(why, QStringLiteral("hibás kiadói kulcs"));

    // The signature file: untrusted comment, signature, trusted comment, global signature. The
    // trusted comment is signed as it stands: only its line end goes.
    QList<QByteArray> lines = signature.split('\n');
    for (QByteArray &l : lines)
        if (l.endsWith('\r')) l.chop(1);
    if (lines.size() >= 4) {
        lines[1] = lines[1].trimmed();
        lines[3] = lines[3].trimmed();
    }
    if (lines.size() < 4 || !lines[0].startsWith("untrusted comment:") ||
        !lines[2].startsWith("trusted comment: "))
        return refuse(why, QStringLiteral("az aláírás formája hibás"));
    const QByteArray sig = QByteArray::fromBase64(lines[1]);
    const QByteArray trusted = lines[2].mid(int(qstrlen("trusted comment: ")));
    const QByteArray global = QByteArray::fromBase64(lines[3]);
    if (sig.size() != 2 + KeyIdSize + crypto_sign_BYTES || global.size() != crypto_sign_BYTES)
        return refuse(why, QStringLiteral("az aláírás formája hibás"));
    const QByteArray algorithm = sig.left(2);
    if (algorithm != "Ed" && algorithm != "ED")
        return refuse(why, QStringLiteral("ismeretlen aláírási eljárás"));
    if (sig.mid(2, KeyIdSize) != key.mid(2, KeyIdSize))
        return refuse(why, QStringLiteral("nem a kiadói kulccsal írták alá"));
    const auto *publicKey =
        reinterpret_cast<const unsigned char *>(key.constData()) + 2 + KeyIdSize;
    const auto *signatureBytes =
        reinterpret_cast<const unsigned char *>(sig.constData()) + 2 + KeyIdSize;

    // "ED" signs the BLAKE2b-512 hash of the file, "Ed" the file itself.
    QByteArray signedBytes = content;
    if (algorithm == "ED") {
        signedBytes.resize(crypto_generichash_BYTES_MAX);
        crypto_generichash(reinterpret_cast<unsigned char *>(signedBytes.data()),
                           crypto_generichash_BYTES_MAX,
                           reinterpret_cast<const unsigned char *>(content.constData()),
                           quint64(content.size()), nullptr, 0);
    }
    if (crypto_sign_verify_detached(
            signatureBytes, reinterpret_cast<const unsigned char *>(signedBytes.constData()),
            quint64(signedBytes.size()), publicKey) != 0)
        return refuse(why, QStringLiteral("az aláírás nem egyezik a fájllal"));
    // The trusted comment is signed together with the signature.
    const QByteArray both = sig.mid(2 + KeyIdSize) + trusted;
    if (crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(global.constData()),
                                    reinterpret_cast<const unsigned char *>(both.constData()),
                                    quint64(both.size()), publicKey) != 0)
        return refuse(why, QStringLiteral("az aláírás megjegyzése hamis"));
    // Signed for this very file, not for another one of the site.
    const QString wanted = QStringLiteral("file:") + fileName;
    const QStringList words = QString::fromUtf8(trusted).split(
        QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (!words.contains(wanted))
        return refuse(why, QStringLiteral("az aláírás nem a(z) %1 fájlé").arg(fileName));
    return true;
}

} // namespace ReleaseSignature
