#include "admin/PageCodes.h"

#include <QFile>
#include <array>
#include <memory>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace lms {

namespace {

constexpr int kKdfIterations = 64000;
constexpr int kMacKdfIterations = 2;
constexpr unsigned char kMacSaltMask = 0x3a;
constexpr int kKeyBytes = 32;
constexpr int kMacBytes = 20;
constexpr int kShaBlock = 64;
constexpr int kPagesPerRead = 1024;

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

DigestContext newContext() {
    return DigestContext(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
}

// HMAC-SHA1 with the key's inner and outer states computed once, so each page costs only
// its own hashing.
class PageMac {
public:
    explicit PageMac(const std::array<unsigned char, kKeyBytes>& key)
        : inner_(newContext()), outer_(newContext()), work_(newContext()) {
        std::array<unsigned char, kShaBlock> innerPad{}, outerPad{};
        for (int i = 0; i < kShaBlock; ++i) {
            const unsigned char k = i < kKeyBytes ? key[i] : 0;
            innerPad[i] = static_cast<unsigned char>(k ^ 0x36);
            outerPad[i] = static_cast<unsigned char>(k ^ 0x5c);
        }
        ok_ = inner_ && outer_ && work_ && EVP_DigestInit_ex(inner_.get(), EVP_sha1(), nullptr) &&
              EVP_DigestUpdate(inner_.get(), innerPad.data(), innerPad.size()) &&
              EVP_DigestInit_ex(outer_.get(), EVP_sha1(), nullptr) &&
              EVP_DigestUpdate(outer_.get(), outerPad.data(), outerPad.size());
        OPENSSL_cleanse(innerPad.data(), innerPad.size());
        OPENSSL_cleanse(outerPad.data(), outerPad.size());
    }

    bool matches(const unsigned char* content, std::size_t size, quint32 pageNumber,
                 const unsigned char* stored) {
        const unsigned char number[4] = {static_cast<unsigned char>(pageNumber),
                                         static_cast<unsigned char>(pageNumber >> 8),
                                         static_cast<unsigned char>(pageNumber >> 16),
                                         static_cast<unsigned char>(pageNumber >> 24)};
        unsigned char innerDigest[EVP_MAX_MD_SIZE], mac[EVP_MAX_MD_SIZE];
        unsigned int innerSize = 0, macSize = 0;
        if (!ok_ || !EVP_MD_CTX_copy_ex(work_.get(), inner_.get()) ||
            !EVP_DigestUpdate(work_.get(), content, size) ||
            !EVP_DigestUpdate(work_.get(), number, sizeof number) ||
            !EVP_DigestFinal_ex(work_.get(), innerDigest, &innerSize) ||
            !EVP_MD_CTX_copy_ex(work_.get(), outer_.get()) ||
            !EVP_DigestUpdate(work_.get(), innerDigest, innerSize) ||
            !EVP_DigestFinal_ex(work_.get(), mac, &macSize) || macSize != kMacBytes)
            return false;
        return CRYPTO_memcmp(mac, stored, kMacBytes) == 0;
    }

private:
    DigestContext inner_, outer_, work_;
    bool ok_ = false;
};

// The page key from the password and the file's salt, then the authentication key from it.
bool macKey(const QByteArray& password, const unsigned char* salt,
            std::array<unsigned char, kKeyBytes>& macKeyOut) {
    std::array<unsigned char, kKeyBytes> pageKey{};
    std::array<unsigned char, PageCodes::kSaltBytes> macSalt{};
    for (int i = 0; i < PageCodes::kSaltBytes; ++i)
        macSalt[i] = static_cast<unsigned char>(salt[i] ^ kMacSaltMask);
    const bool ok = PKCS5_PBKDF2_HMAC(password.constData(), static_cast<int>(password.size()), salt,
                                      PageCodes::kSaltBytes, kKdfIterations, EVP_sha1(), kKeyBytes,
                                      pageKey.data()) == 1 &&
                    PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(pageKey.data()), kKeyBytes,
                                      macSalt.data(), PageCodes::kSaltBytes, kMacKdfIterations,
                                      EVP_sha1(), kKeyBytes, macKeyOut.data()) == 1;
    OPENSSL_cleanse(pageKey.data(), pageKey.size());
    return ok;
}

} // namespace

bool PageCodes::allPagesAuthentic(const QString& path, const QByteArray& password,
                                  qint64 expectedPages) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || expectedPages <= 0 ||
        file.size() != expectedPages * kPageBytes)
        return false;
    QByteArray block(kPageBytes * kPagesPerRead, Qt::Uninitialized);
    std::array<unsigned char, kKeyBytes> key{};
    std::unique_ptr<PageMac> mac;
    quint32 pageNumber = 0;
    for (;;) {
        const qint64 read = file.read(block.data(), block.size());
        if (read < 0 || read % kPageBytes != 0)
            return false;
        if (read == 0)
            break;
        const auto* bytes = reinterpret_cast<const unsigned char*>(block.constData());
        if (!mac) {
            // The first page begins with the salt, in the clear.
            if (!macKey(password, bytes, key))
                return false;
            mac = std::make_unique<PageMac>(key);
            OPENSSL_cleanse(key.data(), key.size());
        }
        for (qint64 offset = 0; offset < read; offset += kPageBytes) {
            ++pageNumber;
            const unsigned char* page = bytes + offset;
            const int skip = pageNumber == 1 ? kSaltBytes : 0;
            const auto covered =
                static_cast<std::size_t>(kPageBytes - kReserveBytes + kIvBytes - skip);
            if (!mac->matches(page + skip, covered, pageNumber,
                              page + kPageBytes - kReserveBytes + kIvBytes))
                return false;
        }
    }
    return pageNumber == expectedPages;
}

} // namespace lms
