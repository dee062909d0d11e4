#pragma once

// Two desks on one shop: this desk's screen looks up, then the other desk's operation runs
// right before this desk's transaction begins (after its screen made its own checks).

#include "circulation/db/CirculationFixture.h"
#include "support/TwoDesks.h"

namespace lms::test {

class TwoDesks : public CirculationTest {
protected:
    TwoDesks() {
        addReader(QStringLiteral("R001"),
                  {{QStringLiteral("押金"), 80.0},
                   {QStringLiteral("借阅有效期"), Dates::toStorage(at(2026, 5, 15, 10, 0))}});
        addReader(QStringLiteral("R002"));
        addBook(QStringLiteral("B001"));
    }
    // A lending screen with the reader and the book looked up, not yet lent.
    static void lookUpLoan(Tfrm_TZJBook& screen, const QString& reader, const QString& book) {
        screen.FormShow();
        screen.tzID.type(reader);
        screen.tsID.type(book);
        ASSERT_TRUE(screen.Button1.isEnabled());
    }
    qint64 rowsWhere(const QString& table, const QString& column, const QString& value) {
        return shop.dm->db()
            .scalar(
                QStringLiteral("SELECT count(*) FROM \"%1\" WHERE \"%2\" = ?").arg(table, column),
                {value})
            .toLongLong();
    }

    OtherDesk other{shop};
    Meanwhile meanwhile{shop.dm->db()};
};

} // namespace lms::test
