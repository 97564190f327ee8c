#pragma once

#include <QByteArray>
#include <QString>

// The encrypted file's key, derived from the passphrase and the file's salt here rather than by the
// engine: the engine's derivation goes through a crypto library call that allocates on each of its
// rounds, which doubles the cost of every opening (and each printed document opens the file).
namespace filekey {

// PBKDF2-HMAC-SHA1 with the engine's settings for these files (64,000 rounds, 32 bytes).
QByteArray derive(const QByteArray &passphrase, const QByteArray &salt, int rounds = 64000);

// The raw key for an existing encrypted file (the engine's x'...' form), or empty when the file
// has no salt to read (new, empty, or unreadable); the caller then keys it with the passphrase.
QByteArray rawKeyFor(const QString &path, const QByteArray &passphrase);

} // namespace filekey
