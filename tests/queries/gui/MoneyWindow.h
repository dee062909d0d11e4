#pragma once

#include "core/ScreenContext.h"
#include "core/widgets/FormDialog.h"
#include "core/widgets/WidgetHost.h"
#include "queries/Tfrm_QallMoney.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

namespace lms::test {

// The money listing in its real window over a shop whose ledger holds `payments` payments of
// 1.25 each, made from 8:00 on the day the clock shows (at 20:00).
struct MoneyWindow {
    explicit MoneyWindow(int payments) { shop.addPayments(payments, at(2026, 3, 14, 8, 0)); }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 14, 20, 0)};
    WidgetHost host;
    ScreenContext context{*shop.dm, shop.pub, prompter, clock, host};
    Tfrm_QallMoney money{context};
    FormDialog& dialog = host.dialogFor(money);
};

} // namespace lms::test
