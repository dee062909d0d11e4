#pragma once

#include <QByteArray>
#include <QString>

namespace lms {

// Checks an encrypted database file page by page against the authentication code each page
// carries, without decrypting it: a flipped byte anywhere, a page from another file or a cut
// at a page boundary all show, at the speed of reading the file. The layout is that of the
// encryption engine's 3.x files (1024-byte pages ending in a 16-byte IV and a 20-byte
// HMAC-SHA1 over the encrypted page and its number).
class PageCodes {
public:
    static constexpr int kPageBytes = 1024;
    static constexpr int kReserveBytes = 48;
    static constexpr int kIvBytes = 16;
    static constexpr int kSaltBytes = 16;

    // True when every page of the file carries the code the password gives it and the file
    // holds `expectedPages` whole pages.
    static bool allPagesAuthentic(const QString& path, const QByteArray& password,
                                  qint64 expectedPages);
};

} // namespace lms
