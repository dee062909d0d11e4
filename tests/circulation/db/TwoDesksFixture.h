#pragma once

// Two desks on one shop: this desk's screen looks up, then the other desk's operation runs
// right before this desk's transaction begins (after its screen made its own checks).

#include "circulation/db/CirculationFixture.h"
#include "support/ServerDatabase.h"

#include <functional>

namespace lms::test {

// The other desk: its own connection, settings, boxes and clock.
struct OtherDesk {
    explicit OtherDesk(ShopDatabase& shop) : pub(shop.pub), dm(pub) {
        if (shop.server)
            dm.useServer(shop.server->connectionString());
        dm.connect();
    }
    PubData pub;
    Tdm_Dbase dm;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 14, 10, 31)};
    ScriptedHost host;
    ScreenContext ctx{dm, pub, prompter, clock, host};
};

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

    // Runs `act` (the other desk's operation) just before this desk's next transaction begins,
    // after this desk's screen made its own checks.
    void meanwhile(std::function<void()> act) {
        pending_ = std::move(act);
        shop.dm->db().setStatementHook(
            [](void* self, const QString& sql) {
                auto* test = static_cast<TwoDesks*>(self);
                if (!test->pending_ || !sql.startsWith(QStringLiteral("BEGIN")))
                    return;
                const std::function<void()> theirs = std::move(test->pending_);
                test->pending_ = nullptr;
                theirs();
            },
            this);
    }

    OtherDesk other{shop};

private:
    std::function<void()> pending_;
};

} // namespace lms::test
