#pragma once

#include "queries/Tfrm_CHRZ.h"
#include "queries/Tfrm_DayClose.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QCallList.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QMoneyChart.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"
#include "queries/Tfrm_ZHMX.h"

namespace lms {

class Tfrm_Main;

// The six query screens, the cash chart, the day close and the call list, created once and
// opened from their menu items, and the reader's statement that two reader screens open.
class QueryScreens {
public:
    QueryScreens(ScreenContext& context, Tfrm_Main& main);

    Tfrm_CHRZ CHRZ;
    Tfrm_QallBook QallBook;
    Tfrm_QJCBook QJCBook;
    Tfrm_QallReader QallReader;
    Tfrm_QallMoney QallMoney;
    Tfrm_QAllRec QAllRec;
    Tfrm_QMoneyChart QMoneyChart;
    // A reader's statement, opened from the reader listing and reader maintenance.
    Tfrm_ZHMX ZHMX;
    Tfrm_DayClose DayClose;
    Tfrm_QCallList QCallList;
};

} // namespace lms
