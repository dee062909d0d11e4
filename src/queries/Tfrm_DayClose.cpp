#include "queries/Tfrm_DayClose.h"

#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/UserStore.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/pubdata.h"
#include "queries/DayCloseSlip.h"

#include <QScopedValueRollback>

namespace lms {

QString Tfrm_DayClose::everyClerk() {
    return QStringLiteral("全部");
}

Tfrm_DayClose::Tfrm_DayClose(ScreenContext& context, QObject* parent)
    : FormModel(QStringLiteral("frm_DayClose"), QStringLiteral("当日结账"), parent), ctx_(context) {
    StringGrid1.setGridModel(&table_);
    DateTimePicker1.setValue(QDateTime(context.clock.now().date(), QTime(0, 0)));
    ComboBox1.setItems({everyClerk()});
    ComboBox1.setValue(everyClerk());
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button3, [this] { Button3Click(); });
    onClick(Button1, [this] { Button1Click(); });
    // Another day may have other clerks; a new choice shows its figures at once.
    onChange(DateTimePicker1, [this] {
        if (filling_)
            return;
        {
            const QScopedValueRollback quiet(filling_, true);
            fillClerks();
        }
        Button2Click();
    });
    onChange(ComboBox1, [this] {
        if (!filling_)
            Button2Click();
    });
}

void Tfrm_DayClose::FormShow() {
    {
        const QScopedValueRollback quiet(filling_, true);
        DateTimePicker1.setValue(QDateTime(ctx_.clock.now().date(), QTime(0, 0)));
        ComboBox1.setValue(everyClerk());
        fillClerks();
    }
    Button2Click();
}

void Tfrm_DayClose::fillClerks() {
    const QString chosen = ComboBox1.text();
    QStringList items{everyClerk()};
    try {
        Database& db = ctx_.dm.db();
        users_ = Users::names(db);
        items << users_;
        for (const QString& clerk :
             DayCloseStore::clerksOfDay(db, DateTimePicker1.value().toDateTime().date())) {
            if (!users_.contains(clerk))
                items << clerk;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
    ComboBox1.setItems(items);
    ComboBox1.setValue(items.indexOf(chosen) > 0 ? chosen : everyClerk());
}

std::optional<QString> Tfrm_DayClose::chosenClerk() const {
    if (ComboBox1.itemIndex() <= 0)
        return std::nullopt;
    return ComboBox1.text();
}

void Tfrm_DayClose::Button2Click() {
    const QDate day = DateTimePicker1.value().toDateTime().date();
    if (!day.isValid())
        return;
    try {
        showFigures(DayCloseStore::read(ctx_.dm.db(), day, chosenClerk(), users_));
    } catch (const DbError&) {
        // No figures of another day or clerk stay to be signed for.
        shown_.reset();
        table_.clear();
        for (Field* field : fields()) {
            if (field->kind() == FieldKind::Label)
                field->setValue(QString());
        }
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_DayClose::showFigures(const DayClose& close) {
    shown_ = close;
    table_.show(close);
    const DayMoney& money = close.total.money;
    Field* const totals[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6};
    for (std::size_t i = 0; i < money.columns.size(); ++i)
        totals[i]->setValue(money.columns[i].text());
    xjsr.setValue(money.cashIn.text());
    xjzc.setValue(money.cashOut.text());
    cyjkc.setValue(money.fromDeposits.text());
    yjsr.setValue(money.depositsIn.text());
    yjth.setValue(money.depositsRefunded.text());
    zjhz.setValue(money.summary.text());
    zjhz.setVisible(money.hasSummary);
    const DayCounts& counts = close.total.counts;
    CountTJReader.setValue(QString::number(counts.registrations));
    CountTZJBook.setValue(QString::number(counts.loans));
    CountTZHBook.setValue(QString::number(counts.returns));
    CountJNZC.setValue(QString::number(counts.payments));
    CountSZReader.setValue(QString::number(counts.deletions));
}

void Tfrm_DayClose::Button3Click() {
    if (!shown_) {
        ctx_.prompter.information(QStringLiteral("没有可打印的记录!"));
        return;
    }
    ctx_.prompter.printPreview(
        DayCloseSlip::make(*shown_, ctx_.pub.ShopName, ctx_.clock.now(), RegionalFormats()));
}

} // namespace lms
