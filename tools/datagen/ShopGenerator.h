#pragma once

#include <QDateTime>
#include <QString>

namespace lms::datagen {

// How much a generated shop holds.
struct ShopSize {
    int books;
    int readers;
    int openLoans;
    int ledgerRows; // each with its operation's log record
    int logRows;    // log records of operations that move no money
    int historyRows;

    static ShopSize small() { return {5'000, 1'000, 300, 50'000, 40'000, 50'000}; }
    static ShopSize large() { return {200'000, 50'000, 5'000, 1'000'000, 800'000, 500'000}; }
};

// Ids the generator gives: eight digits, as the default id length expects.
QString readerId(int index);
QString bookId(int index);

// Writes "dbase.zqd" into `folder` (which must not hold one) with the super user admin/secret
// and the rows of `size`, dated over the five years before `now`.
void generateShop(const QString& folder, const ShopSize& size, const QDateTime& now,
                  unsigned seed = 7);

} // namespace lms::datagen
