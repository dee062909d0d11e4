#include "queries/QueryScreens.h"

#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/screens/Tfrm_Main.h"
#include "queries/CallList.h"

namespace lms {

QueryScreens::QueryScreens(ScreenContext& context, Tfrm_Main& main)
    : CHRZ(context), QallBook(context), QJCBook(context), QallReader(context), QallMoney(context),
      QAllRec(context), QMoneyChart(context), ZHMX(context), DayClose(context), QCallList(context) {
    QallReader.setStatementOpening([this](const QString& id) { ZHMX.showFor(id); });
    main.registerScreen(QStringLiteral("CHRZMenu"), CHRZ);
    main.registerScreen(QStringLiteral("QAllBookMenu"), QallBook);
    main.registerScreen(QStringLiteral("QJCBookMenu"), QJCBook);
    main.registerScreen(QStringLiteral("QallReaderMenu"), QallReader);
    main.registerScreen(QStringLiteral("QAllMoneyMenu"), QallMoney);
    main.registerScreen(QStringLiteral("QAllRecMenu"), QAllRec);
    main.registerScreen(QStringLiteral("QMoneyChartMenu"), QMoneyChart);
    main.registerScreen(QStringLiteral("DayCloseMenu"), DayClose);
    main.registerScreen(QStringLiteral("QCallListMenu"), QCallList);
    // After each login the status bar says how many there are to call today.
    main.setLoginNotice(QStringLiteral("QCallListMenu"), [&context] {
        return CallList::notice(CallList::count(context.dm.db(), context.clock.now(), context.pub));
    });
}

} // namespace lms
