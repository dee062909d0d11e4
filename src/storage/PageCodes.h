#pragma once

#include "admin/CopyFiles.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace lms {

// Checks an encrypted database file page by page against the authentication code each page
// carries, without decrypting it: a flipped byte anywhere, a page from another file or a cut
// at a page boundary all show, at the speed of reading the file. The layout is that of the
// encryption engine's 3.x files (1024-byte pages ending in a 16-byte IV and a 20-byte
// HMAC-SHA1 over the encrypted page and its number).
//
// The bytes are given in file order as they are read, in blocks of any size, so a copy checks
// the file as it passes.
class PageCodes : public CopyCheck {
public:
    static constexpr int kPageBytes = 1024;
    static constexpr int kReserveBytes = 48;
    static constexpr int kIvBytes = 16;
    static constexpr int kSaltBytes = 16;

    // A check of a file that should hold `expectedPages` pages keyed by the password.
    PageCodes(const QByteArray& password, qint64 expectedPages);
    ~PageCodes() override;
    PageCodes(const PageCodes&) = delete;
    PageCodes& operator=(const PageCodes&) = delete;

    // False from the first page whose code is wrong, or beyond the expected pages, on.
    bool accept(QByteArrayView bytes) override;
    // Whether exactly the expected pages came, each with its right code.
    bool complete() override;

    // True when every page of the file carries the code the password gives it and the file
    // holds `expectedPages` whole pages.
    static bool allPagesAuthentic(const QString& path, const QByteArray& password,
                                  qint64 expectedPages);

private:
    class PageMac;
    bool checkPage(const unsigned char* page);

    QByteArray password_;
    qint64 expectedPages_;
    qint64 pagesChecked_ = 0;
    std::unique_ptr<PageMac> mac_;
    // The start of a page that the last block cut off.
    QByteArray partPage_;
    bool sound_ = true;
};

} // namespace lms
