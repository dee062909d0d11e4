#include "admin/Tfrm_QKSJB.h"

#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

namespace lms {

namespace {

void clearTable(Database& db, const QString& table) {
    // Table names are the program's own, never typed text.
    db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
}

} // namespace

Tfrm_QKSJB::Tfrm_QKSJB(ScreenContext& context)
    : FormModel(QStringLiteral("frm_QKSJB"), QStringLiteral("清空系统数据")), ctx_(context) {
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("清空系统所有操作日志"));
    addField(QStringLiteral("Button5"), FieldKind::Button, QStringLiteral("清空图书借阅历史记录"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("清空系统所有资金"));
    addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("清空所有读者、图书"));
    addField(QStringLiteral("Button4"), FieldKind::Button, QStringLiteral("关闭"));
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button5Click"), [this] { Button5Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
    addOperation(QStringLiteral("Button3Click"), [this] { Button3Click(); });
    addOperation(QStringLiteral("Button4Click"), [this] { close(); });
}

void Tfrm_QKSJB::Button1Click() {
    if (!ctx_.prompter.warningYesNo(QStringLiteral("您真的要清空系统中所有的操作日志吗？")))
        return;
    clearTables({QStringLiteral("日志")}, QStringLiteral("清空操作日志成功!"),
                QStringLiteral("清空操作日志"));
}

void Tfrm_QKSJB::Button5Click() {
    if (!ctx_.prompter.warningYesNo(QStringLiteral("您真的要清空系统中所有的图书借阅历史记录吗？")))
        return;
    clearTables({QStringLiteral("图书借阅历史记录")}, QStringLiteral("清空图书借阅历史记录成功!"),
                QStringLiteral("清空图书借阅历史记录"));
}

void Tfrm_QKSJB::Button3Click() {
    const QString question = QStringLiteral("您真的要清空系统中所有的读者及所有图书吗？");
    if (!ctx_.prompter.warningYesNo(question))
        return;
    if (!ctx_.prompter.warningYesNo(QStringLiteral("请再次确认！！！\r\r") + question))
        return;
    clearTables({QStringLiteral("图书"), QStringLiteral("读者"), QStringLiteral("借出图书")},
                QStringLiteral("清空所有读者、所有图书成功!"),
                QStringLiteral("清空所有读者、所有图书"));
}

void Tfrm_QKSJB::clearTables(const QStringList& tables, const QString& success,
                             const QString& event) {
    Database& db = ctx_.dm.db();
    try {
        Transaction transaction(db);
        for (const QString& table : tables)
            clearTable(db, table);
        ctx_.dm.appendLog(event, ctx_.pub.CurrentUser, ctx_.clock.now(), QString());
        transaction.commit();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(success);
}

std::optional<Tfrm_QKSJB::LedgerSums> Tfrm_QKSJB::sumLedger(Database& db) {
    Query query(db, QStringLiteral("SELECT 金额总计, 开户费, 押金, 租金, 逾期罚款, 破损遗失赔偿 "
                                   "FROM 资金 ORDER BY rowid"));
    LedgerSums sums{};
    bool any = false;
    while (query.next()) {
        any = true;
        for (std::size_t i = 0; i < sums.size(); ++i) {
            // Rounded as the ledger shows it ("0.00"), then added in single precision.
            const double shown =
                Numbers::parseDecimal(Numbers::twoDecimalForm(query.real(static_cast<int>(i))))
                    .value_or(0);
            sums[i] = static_cast<float>(static_cast<double>(sums[i]) + shown);
        }
    }
    return any ? std::optional<LedgerSums>(sums) : std::nullopt;
}

void Tfrm_QKSJB::Button2Click() {
    if (!ctx_.prompter.warningYesNo(QStringLiteral("您真的要清空系统中所有的资金记录吗？")))
        return;
    const bool summary = ctx_.prompter.informationYesNo(
        QStringLiteral("系统中的所有资金记录清空后您是否要建汇总记录？"));
    Database& db = ctx_.dm.db();
    try {
        // Summing, clearing and the summary record stand or fall together.
        Transaction transaction(db);
        std::optional<LedgerSums> sums;
        if (summary) {
            sums = sumLedger(db);
            if (!sums)
                return;
        }
        clearTable(db, QStringLiteral("资金"));
        const QDateTime now = ctx_.clock.now();
        if (sums) {
            const LedgerSums& s = *sums;
            ctx_.dm.appendLedger(QStringLiteral("资金汇总"), ctx_.pub.CurrentUser, now,
                                 {.total = s[0],
                                  .openingFee = s[1],
                                  .deposit = s[2],
                                  .rent = s[3],
                                  .fine = s[4],
                                  .compensation = s[5]});
        }
        ctx_.dm.appendLog(QStringLiteral("清空系统中所有资金"), ctx_.pub.CurrentUser, now,
                          QString());
        transaction.commit();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("清空系统中所有资金成功!"));
}

} // namespace lms
