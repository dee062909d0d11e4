#include "admin/Tfrm_QKSJB.h"

#include "core/Messages.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_QKSJB::Tfrm_QKSJB(ScreenContext& context)
    : FormModel(QStringLiteral("frm_QKSJB"), QStringLiteral("清空系统数据")), ctx_(context) {
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button5, [this] { Button5Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button3, [this] { Button3Click(); });
    onClick(Button4, [this] { close(); });
}

void Tfrm_QKSJB::Button1Click() {
    if (!ctx_.prompter.warningYesNo(QStringLiteral("您真的要清空系统中所有的操作日志吗？")))
        return;
    clear(DataClearing::Group::Log, QStringLiteral("清空操作日志成功!"));
}

void Tfrm_QKSJB::Button5Click() {
    if (!ctx_.prompter.warningYesNo(QStringLiteral("您真的要清空系统中所有的图书借阅历史记录吗？")))
        return;
    clear(DataClearing::Group::History, QStringLiteral("清空图书借阅历史记录成功!"));
}

void Tfrm_QKSJB::Button3Click() {
    const QString question = QStringLiteral("您真的要清空系统中所有的读者及所有图书吗？");
    if (!ctx_.prompter.warningYesNo(question))
        return;
    if (!ctx_.prompter.warningYesNo(QStringLiteral("请再次确认！！！\r\r") + question))
        return;
    clear(DataClearing::Group::ReadersAndBooks, QStringLiteral("清空所有读者、所有图书成功!"));
}

void Tfrm_QKSJB::clear(DataClearing::Group group, const QString& success) {
    try {
        DataClearing::clear(ctx_.dm, group, ctx_.pub.CurrentUser, ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(success);
}

void Tfrm_QKSJB::Button2Click() {
    if (!ctx_.prompter.warningYesNo(QStringLiteral("您真的要清空系统中所有的资金记录吗？")))
        return;
    const bool summary = ctx_.prompter.informationYesNo(
        QStringLiteral("系统中的所有资金记录清空后您是否要建汇总记录？"));
    try {
        // An empty ledger asked for a summary ends silently.
        if (!DataClearing::clearLedger(ctx_.dm, summary, ctx_.pub.CurrentUser, ctx_.clock.now()))
            return;
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("清空系统中所有资金成功!"));
}

} // namespace lms
