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
// content by the release key, made for the file of that name: its trusted comment names it as
// "file:NAME" (minisign's own default comment does), so that an older signed file served under a
// newer name is refused. The reason when it is not.
bool verify(const QByteArray &content, const QByteArray &signature, const QString &fileName,
            QString *why = nullptr);

// The public key the verifier trusts, as minisign prints it (base64, one line). Tests put their
// own key here; an empty key puts the release key back.
void useKey(const QByteArray &publicKeyBase64);
// Whether the program was built with a release key (TARVIK_RELEASE_KEY): without one no
// update is accepted.
bool hasKey();
// What the update window says when it has none.
QString noKeyMessage();

} // namespace ReleaseSignature
