#include "storage/PageCodes.h"

#include "core/engines/PageKeys.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <memory>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace lms {

namespace {

constexpr int kMacKdfIterations = 2;
constexpr unsigned char kMacSaltMask = 0x3a;
constexpr int kKeyBytes = PageKey::kBytes;
constexpr int kMacBytes = 20;
constexpr int kShaBlock = 64;
constexpr int kPagesPerRead = 1024;

static_assert(PageCodes::kSaltBytes == PageKeys::kSaltBytes);

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

DigestContext newContext() {
    return DigestContext(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
}

// The page key for the password and the file's salt (from the process's cache), then the
// authentication key from it.
bool macKey(const QByteArray& password, const unsigned char* salt, PageKey& macKeyOut) {
    PageKey pageKey;
    std::array<unsigned char, PageCodes::kSaltBytes> macSalt{};
    for (int i = 0; i < PageCodes::kSaltBytes; ++i)
        macSalt[i] = static_cast<unsigned char>(salt[i] ^ kMacSaltMask);
    return PageKeys::keyFor(password, salt, pageKey) &&
           PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(pageKey.data()), kKeyBytes,
                             macSalt.data(), PageCodes::kSaltBytes, kMacKdfIterations, EVP_sha1(),
                             kKeyBytes, macKeyOut.data()) == 1;
}

} // namespace

// HMAC-SHA1 with the key's inner and outer states computed once, so each page costs only
// its own hashing.
class PageCodes::PageMac {
public:
    explicit PageMac(const PageKey& key)
        : inner_(newContext()), outer_(newContext()), work_(newContext()) {
        std::array<unsigned char, kShaBlock> innerPad{}, outerPad{};
        for (int i = 0; i < kShaBlock; ++i) {
            const unsigned char k = i < kKeyBytes ? key.data()[i] : 0;
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

PageCodes::PageCodes(const QByteArray& password, qint64 expectedPages)
    : password_(password), expectedPages_(expectedPages) {}

PageCodes::~PageCodes() = default;

bool PageCodes::accept(QByteArrayView bytes) {
    const auto* next = reinterpret_cast<const unsigned char*>(bytes.data());
    qint64 left = bytes.size();
    while (sound_ && left > 0) {
        if (partPage_.isEmpty() && left >= kPageBytes) {
            sound_ = checkPage(next);
            next += kPageBytes;
            left -= kPageBytes;
            continue;
        }
        const qint64 taken = std::min<qint64>(kPageBytes - partPage_.size(), left);
        partPage_.append(reinterpret_cast<const char*>(next), taken);
        next += taken;
        left -= taken;
        if (partPage_.size() == kPageBytes) {
            sound_ = checkPage(reinterpret_cast<const unsigned char*>(partPage_.constData()));
            partPage_.clear();
        }
    }
    return sound_;
}

bool PageCodes::complete() {
    return sound_ && partPage_.isEmpty() && pagesChecked_ == expectedPages_;
}

bool PageCodes::checkPage(const unsigned char* page) {
    if (++pagesChecked_ > expectedPages_)
        return false;
    if (!mac_) {
        // The first page begins with the salt, in the clear.
        PageKey key;
        if (!macKey(password_, page, key))
            return false;
        mac_ = std::make_unique<PageMac>(key);
    }
    const int skip = pagesChecked_ == 1 ? kSaltBytes : 0;
    const auto covered = static_cast<std::size_t>(kPageBytes - kReserveBytes + kIvBytes - skip);
    return mac_->matches(page + skip, covered, static_cast<quint32>(pagesChecked_),
                         page + kPageBytes - kReserveBytes + kIvBytes);
}

bool PageCodes::allPagesAuthentic(const QString& path, const QByteArray& password,
                                  qint64 expectedPages) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || expectedPages <= 0 ||
        file.size() != expectedPages * kPageBytes)
        return false;
    PageCodes codes(password, expectedPages);
    QByteArray block(kPageBytes * kPagesPerRead, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(block.data(), block.size());
        if (read < 0)
            return false;
        if (read == 0)
            return codes.complete();
        if (!codes.accept(QByteArrayView(block.constData(), read)))
            return false;
    }
}

} // namespace lms
