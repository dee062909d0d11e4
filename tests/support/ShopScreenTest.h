#pragma once

#include "core/ScreenContext.h"
#include "core/pubdata.h"
#include "support/Moments.h"
#include "support/TempProgramFolder.h"
#include "support/TestDoubles.h"

#include <gtest/gtest.h>

namespace lms::test {

// What the screen tests of a shop share: a new shop database with the default settings and
// "clerk" at work, a scripted prompter, a clock set to 14 March 2026 10:30, and the context every
// screen is built with.
class ShopScreenTest : public ::testing::Test {
protected:
    ShopScreenTest() : ctx{*shop.dm, shop.pub, prompter, clock, host} {
        const QString appPath = shop.pub.AppPath;
        shop.pub = PubData::defaultSettings();
        shop.pub.AppPath = appPath;
        shop.pub.CurrentUser = QStringLiteral("clerk");
    }

    ShopDatabase shop;
    ScriptedPrompter prompter;
    FixedClock clock{at(2026, 3, 14, 10, 30)};
    ScriptedHost host;
    ScreenContext ctx;
};

} // namespace lms::test
