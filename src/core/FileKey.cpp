#include "core/FileKey.h"

#include <QFile>

// The one-shot SHA-1 calls are marked old in this library version but are what makes the rounds
// cheap: the digest state is copied by value instead of through an allocated context.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/sha.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace filekey {

namespace {

constexpr int kSaltSize = 16;
constexpr int kKeySize = 32;

void finish(SHA_CTX context, const unsigned char *data, size_t size, unsigned char *digest)
{
    SHA1_Update(&context, data, size);
    SHA1_Final(digest, &context);
}

} // namespace

QByteArray derive(const QByteArray &passphrase, const QByteArray &salt, int rounds)
{
    std::array<unsigned char, SHA_CBLOCK> key{};
    if (passphrase.size() > SHA_CBLOCK)
        SHA1(reinterpret_cast<const unsigned char *>(passphrase.constData()), size_t(passphrase.size()), key.data());
    else
        std::memcpy(key.data(), passphrase.constData(), size_t(passphrase.size()));
    std::array<unsigned char, SHA_CBLOCK> pad{};
    SHA_CTX inner, outer;
    for (int i = 0; i < SHA_CBLOCK; ++i)
        pad[i] = key[i] ^ 0x36;
    SHA1_Init(&inner);
    SHA1_Update(&inner, pad.data(), pad.size());
    for (int i = 0; i < SHA_CBLOCK; ++i)
        pad[i] = key[i] ^ 0x5c;
    SHA1_Init(&outer);
    SHA1_Update(&outer, pad.data(), pad.size());

    QByteArray out(kKeySize, '\0');
    for (int block = 1; (block - 1) * SHA_DIGEST_LENGTH < kKeySize; ++block) {
        unsigned char u[SHA_DIGEST_LENGTH], sum[SHA_DIGEST_LENGTH];
        const unsigned char index[4] = {static_cast<unsigned char>(block >> 24), static_cast<unsigned char>(block >> 16),
                                        static_cast<unsigned char>(block >> 8), static_cast<unsigned char>(block)};
        SHA_CTX first = inner;
        SHA1_Update(&first, salt.constData(), size_t(salt.size()));
        finish(first, index, sizeof index, u);
        finish(outer, u, sizeof u, u);
        std::memcpy(sum, u, sizeof u);
        for (int round = 1; round < rounds; ++round) {
            finish(inner, u, sizeof u, u);
            finish(outer, u, sizeof u, u);
            for (int i = 0; i < SHA_DIGEST_LENGTH; ++i)
                sum[i] ^= u[i];
        }
        const int offset = (block - 1) * SHA_DIGEST_LENGTH;
        std::memcpy(out.data() + offset, sum, size_t(std::min(SHA_DIGEST_LENGTH, kKeySize - offset)));
        OPENSSL_cleanse(u, sizeof u);
        OPENSSL_cleanse(sum, sizeof sum);
    }
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(pad.data(), pad.size());
    OPENSSL_cleanse(&inner, sizeof inner);
    OPENSSL_cleanse(&outer, sizeof outer);
    return out;
}

QByteArray rawKeyFor(const QString &path, const QByteArray &passphrase)
{
    // A passphrase already in the raw form is taken as it stands by the engine.
    if (passphrase.startsWith("x'") || passphrase.startsWith("X'"))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray salt = file.read(kSaltSize);
    if (salt.size() != kSaltSize || salt.startsWith("SQLite format 3"))
        return {};
    QByteArray key = derive(passphrase, salt);
    QByteArray raw = "x'" + key.toHex() + "'";
    OPENSSL_cleanse(key.data(), size_t(key.size()));
    return raw;
}

} // namespace filekey
