#pragma once

#include <QByteArray>
#include <QString>

// Detached signatures of what the update site publishes, in minisign's format (Ed25519), checked
// against the release public key built into the program. Nothing downloaded is started or kept
// unless its signature verifies.
namespace ReleaseSignature
{

// The signature file published beside a file: FILE.minisig.
QString signatureAddress(const QString &fileAddress);

// Whether the signature text (the content of a .minisig file) is a valid signature of the
// content by the release key; the reason when it is not.
bool verify(const QByteArray &content, const QByteArray &signature, QString *why = nullptr);

// The public key the verifier trusts, as minisign prints it (base64, one line). Tests put their
// own key here; an empty key puts the release key back.
void useKey(const QByteArray &publicKeyBase64);

} // namespace ReleaseSignature
