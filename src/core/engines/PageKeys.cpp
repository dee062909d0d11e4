#include "core/engines/PageKeys.h"

#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace lms {

namespace {

constexpr int kKdfIterations = 64000;
// A process opens its own database and now and then a backup; older pairs make room.
constexpr std::size_t kKeptPairs = 8;

// The password is kept as its digest: the cache holds no password.
using PasswordDigest = std::array<unsigned char, 32>;

PasswordDigest digestOf(const QByteArray& password) {
    PasswordDigest digest{};
    unsigned int size = 0;
    EVP_Digest(password.constData(), static_cast<std::size_t>(password.size()), digest.data(),
               &size, EVP_sha256(), nullptr);
    return digest;
}

struct KeptKey {
    PasswordDigest password{};
    PageKeys::Salt salt{};
    PageKey key;

    bool matches(const PasswordDigest& otherPassword, const unsigned char* otherSalt) const {
        return password == otherPassword && std::memcmp(salt.data(), otherSalt, salt.size()) == 0;
    }
};

struct KeyCache {
    QMutex mutex;
    std::deque<KeptKey> keys;
    std::atomic<int> derivations{0};
};

KeyCache& cache() {
    static KeyCache instance;
    return instance;
}

} // namespace

PageKey::~PageKey() {
    OPENSSL_cleanse(bytes_.data(), bytes_.size());
}

bool PageKeys::keyFor(const QByteArray& password, const unsigned char* salt, PageKey& key) {
    const PasswordDigest digest = digestOf(password);
    KeyCache& kept = cache();
    // Held through a derivation, so two threads asking for the same pair derive it once.
    const QMutexLocker lock(&kept.mutex);
    const auto found = std::find_if(kept.keys.begin(), kept.keys.end(),
                                    [&](const KeptKey& k) { return k.matches(digest, salt); });
    if (found != kept.keys.end()) {
        key = found->key;
        return true;
    }
    KeptKey derived;
    derived.password = digest;
    std::memcpy(derived.salt.data(), salt, kSaltBytes);
    ++kept.derivations;
    if (PKCS5_PBKDF2_HMAC(password.constData(), static_cast<int>(password.size()), salt, kSaltBytes,
                          kKdfIterations, EVP_sha1(), PageKey::kBytes, derived.key.data()) != 1)
        return false;
    key = derived.key;
    if (kept.keys.size() == kKeptPairs)
        kept.keys.pop_front();
    kept.keys.push_back(std::move(derived));
    return true;
}

void PageKeys::forget() {
    KeyCache& kept = cache();
    const QMutexLocker lock(&kept.mutex);
    kept.keys.clear();
}

int PageKeys::derivations() {
    return cache().derivations.load();
}

} // namespace lms
