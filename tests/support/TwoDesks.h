#pragma once

#include "core/Database.h"
#include "core/ScreenContext.h"
#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <functional>

namespace lms::test {

// The other desk of a shop: its own connection, settings, boxes and clock.
struct OtherDesk {
    explicit OtherDesk(ShopDatabase& shop);
    PubData pub;
    Tdm_Dbase dm;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 14, 10, 31)};
    ScriptedHost host;
    ScreenContext ctx{dm, pub, prompter, clock, host};
};

// Runs the other desk's operation just before this desk's next transaction begins, after this
// desk's screen made its own checks: `meanwhile(act)` arms it for one BEGIN.
class Meanwhile {
public:
    explicit Meanwhile(Database& mine);
    ~Meanwhile();
    Meanwhile(const Meanwhile&) = delete;
    Meanwhile& operator=(const Meanwhile&) = delete;

    void operator()(std::function<void()> act);
    // Whether the armed operation ran (this desk began a transaction since).
    bool ran() const { return ran_; }

private:
    static void beforeStatement(void* self, const QString& sql);

    Database& mine_;
    std::function<void()> pending_;
    bool ran_ = false;
    bool armed_ = false;
};

} // namespace lms::test
