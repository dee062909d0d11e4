#pragma once

#include <QByteArray>
#include <array>

namespace lms {

// A 32-byte page key that wipes itself when dropped.
class PageKey {
public:
    static constexpr int kBytes = 32;

    PageKey() = default;
    PageKey(const PageKey&) = default;
    PageKey& operator=(const PageKey&) = default;
    ~PageKey();

    unsigned char* data() { return bytes_.data(); }
    const unsigned char* data() const { return bytes_.data(); }

private:
    std::array<unsigned char, kBytes> bytes_{};
};

// The page keys of encrypted database files, derived from the password and the salt that opens
// each file (PBKDF2-HMAC-SHA1 of 64,000 rounds, as the engine keys its 3.x files) and kept for
// the life of the process: each password and salt costs one derivation, however often files
// with that salt are opened or checked. Safe to use from any thread.
class PageKeys {
public:
    static constexpr int kSaltBytes = 16;
    using Salt = std::array<unsigned char, kSaltBytes>;

    // The key for the password and the `kSaltBytes` of salt, derived on first use; false when
    // the derivation failed.
    static bool keyFor(const QByteArray& password, const unsigned char* salt, PageKey& key);
    // How many derivations this process has run: a lookup that the cache answered adds none.
    static int derivations();
    // Drops every kept key: what follows opens files as a program just started does.
    static void forget();
};

} // namespace lms
