#pragma once

#include <QString>

namespace lms {

// The reader and the book a ledger record is about; empty where there is none (a summary).
struct LedgerIds {
    QString readerId;
    QString bookId;
};

} // namespace lms
