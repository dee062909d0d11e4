#include "readers/Tfrm_TJReader.h"

#include "core/DateRules.h"
#include "core/GbkText.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/form/Prompter.h"
#include "readers/Amounts.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderMessages.h"
#include "readers/ReaderTerms.h"

#include <QScopedValueRollback>
#include <climits>

namespace lms {

namespace {

const QString kNameRequired = QStringLiteral("请输入读者姓名！");
using Readers::kIdNumberBytes;
using Readers::kNameBytes;
using Readers::kPhoneBytes;
using Readers::kRemarkBytes;

} // namespace

Tfrm_TJReader::Tfrm_TJReader(const ScreenContext& ctx, QObject* parent)
    : FormModel(QStringLiteral("frm_TJReader"), QStringLiteral("添加读者"), parent), ctx_(ctx) {
    addField(QStringLiteral("ID"), FieldKind::Text, QStringLiteral("读者编号：")).setMaxBytes(20);
    addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    addField(QStringLiteral("xm"), FieldKind::Text, QStringLiteral("读者姓名："))
        .setMaxBytes(kNameBytes);
    addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
        .setItems(Readers::sexes());
    addField(QStringLiteral("rx"), FieldKind::List, QStringLiteral("读者类型："))
        .setItems(Readers::types());
    addField(QStringLiteral("zjhm"), FieldKind::Text, QStringLiteral("证件号码："))
        .setMaxBytes(kIdNumberBytes);
    addField(QStringLiteral("df"), FieldKind::Text, QStringLiteral("联系电话："))
        .setMaxBytes(kPhoneBytes);
    addField(QStringLiteral("bz"), FieldKind::Memo,
             QStringLiteral("备注：（最多255个字符或127个汉字）"))
        .setMaxBytes(kRemarkBytes);
    addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
        .setUnbounded();
    // A loan period keeps its due date storable.
    addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
        .setRange(-Dates::kLongestDaySpan, Dates::kLongestDaySpan);
    addField(QStringLiteral("GroupBox4"), FieldKind::Group);
    addField(QStringLiteral("kff"), FieldKind::Text, QStringLiteral("开户费（元）："));
    addField(QStringLiteral("yj"), FieldKind::Text, QStringLiteral("押金（元）："));
    addField(QStringLiteral("GroupBox5"), FieldKind::Group);
    addField(QStringLiteral("zj"), FieldKind::Text, QStringLiteral("     租     金（元）："));
    addField(QStringLiteral("GroupBox3"), FieldKind::Group).setEnabled(false);
    addField(QStringLiteral("fyzj"), FieldKind::Text, QStringLiteral("缴纳费用总计（元）："));
    addField(QStringLiteral("GroupBox6"), FieldKind::Group);
    addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("添加"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    lookUpWhenFull(
        field(QStringLiteral("ID")), [this] { return ctx_.pub.ReaderIdMaxLen; },
        [this] { IDChange(); });
    onChange(QStringLiteral("rx"), [this] {
        if (!proposing_)
            rxChange();
    });
    for (const char* amount : {"yj", "kff", "zj"})
        onChange(QString::fromLatin1(amount), [this] {
            if (!proposing_)
                yjChange();
        });
    addOperation(QStringLiteral("CheckisHaveReaderClick"), [this] { CheckisHaveReaderClick(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { Button2Click(); });
}

void Tfrm_TJReader::FormShow() {
    iniall();
}

void Tfrm_TJReader::iniall() {
    const PubData& pub = ctx_.pub;
    {
        const QScopedValueRollback<bool> proposing(proposing_, true);
        Field& id = field(QStringLiteral("ID"));
        id.setMaxBytes(pub.ReaderIdMaxLen);
        id.setValue(QString());
        field(QStringLiteral("rx")).setItemIndex(Readers::Monthly);
        field(QStringLiteral("xm")).setValue(QString());
        field(QStringLiteral("xp")).setItemIndex(0);
        field(QStringLiteral("df")).setValue(QString());
        field(QStringLiteral("zjhm")).setValue(QString());
        field(QStringLiteral("bz")).setValue(QString());
    }
    propose(Readers::Monthly);
    field(QStringLiteral("GroupBox4")).setEnabled(pub.AllowAmountEdit);
    field(QStringLiteral("GroupBox5")).setEnabled(pub.AllowAmountEdit);
}

void Tfrm_TJReader::propose(int typeIndex) {
    const Readers::TypeTerms terms = Readers::termsOf(typeIndex, ctx_.pub);
    const bool daily = typeIndex == Readers::Daily;
    const double deposit = Numbers::widened(terms.deposit);
    const double rent = Numbers::widened(terms.rent);
    const double fee = Numbers::widened(terms.openingFee);
    const QScopedValueRollback<bool> proposing(proposing_, true);
    field(QStringLiteral("tssn")).setValue(terms.maxBooks);
    field(QStringLiteral("tssj")).setValue(terms.maxDays);
    field(QStringLiteral("yj")).setValue(Numbers::generalForm(deposit));
    field(QStringLiteral("zj")).setValue(daily ? QStringLiteral("0") : Numbers::generalForm(rent));
    field(QStringLiteral("GroupBox5")).setVisible(!daily);
    field(QStringLiteral("GroupBox6")).setVisible(!daily);
    field(QStringLiteral("kff")).setValue(Numbers::generalForm(fee));
    field(QStringLiteral("fyzj")).setValue(Numbers::generalForm(deposit + rent + fee));
    field(QStringLiteral("yxq")).setValue(Readers::periodEnd(terms, ctx_.clock.now()));
}

void Tfrm_TJReader::IDChange() {
    const QString id = typedId(field(QStringLiteral("ID")));
    try {
        if (ctx_.dm.isHaveReader(id)) {
            ctx_.prompter.error(Readers::alreadyExistsMessage(id));
            field(QStringLiteral("ID")).requestFocus();
        } else {
            field(QStringLiteral("xm")).requestFocus();
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_TJReader::CheckisHaveReaderClick() {
    const QString id = typedId(field(QStringLiteral("ID")));
    if (id.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请先输入读者编号！"));
        field(QStringLiteral("ID")).requestFocus();
        return;
    }
    try {
        if (ctx_.dm.isHaveReader(id)) {
            ctx_.prompter.error(Readers::alreadyExistsMessage(id));
            field(QStringLiteral("ID")).requestFocus();
        } else {
            ctx_.prompter.information(QStringLiteral("此读者编号可用!"));
            field(QStringLiteral("xm")).requestFocus();
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_TJReader::rxChange() {
    const int index = field(QStringLiteral("rx")).itemIndex();
    if (index >= 0)
        propose(index);
}

void Tfrm_TJReader::yjChange() {
    for (const char* name : {"yj", "zj", "kff"})
        if (field(QString::fromLatin1(name)).text().isEmpty())
            return;
    const std::optional<Amounts> sum = amounts();
    if (!sum) {
        ctx_.prompter.error(QStringLiteral("输入错误！请输入正确的金额。"));
        return;
    }
    field(QStringLiteral("fyzj")).setValue(Numbers::generalForm(sum->total));
}

std::optional<Tfrm_TJReader::Amounts> Tfrm_TJReader::amounts() const {
    const auto deposit = Readers::parseAmount(field(QStringLiteral("yj")).text());
    const auto rent = Readers::parseAmount(field(QStringLiteral("zj")).text());
    const auto fee = Readers::parseAmount(field(QStringLiteral("kff")).text());
    if (!deposit || !rent || !fee)
        return std::nullopt;
    const double total = *deposit + *rent + *fee;
    if (!Readers::fitsLedger(total))
        return std::nullopt;
    return Amounts{*deposit, *rent, *fee, total};
}

void Tfrm_TJReader::Button1Click() {
    const PubData& pub = ctx_.pub;
    const QString id = typedId(field(QStringLiteral("ID")));
    if (id.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入读者编号！"));
        field(QStringLiteral("ID")).requestFocus();
        return;
    }
    if (!idFitsLimit(field(QStringLiteral("ID")), QStringLiteral("读者"), ctx_.prompter))
        return;
    const QString name = Gbk::truncateToBytes(field(QStringLiteral("xm")).text(), kNameBytes);
    if (name.trimmed().isEmpty()) {
        ctx_.prompter.error(kNameRequired);
        field(QStringLiteral("xm")).requestFocus();
        return;
    }
    try {
        if (ctx_.dm.isHaveReader(id)) {
            ctx_.prompter.error(Readers::alreadyExistsMessage(id));
            return;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    const std::optional<Amounts> sum = amounts();
    if (!sum) {
        ctx_.prompter.error(QStringLiteral("输入费用金额错误！请输入正确的金额。"));
        return;
    }
    if (!Dates::isStorable(field(QStringLiteral("yxq")).value().toDateTime())) {
        ctx_.prompter.error(Messages::dateOutOfRange());
        return;
    }
    field(QStringLiteral("fyzj")).setValue(Numbers::generalForm(sum->total));

    const QString type = field(QStringLiteral("rx")).text();
    const QDateTime now = ctx_.clock.now();
    const QString explanation = QStringLiteral("读者编号：") + id + QStringLiteral("  读者姓名：") +
                                name + QStringLiteral("  读者类型：") + type +
                                QStringLiteral(" 押金(元)：") + field(QStringLiteral("yj")).text() +
                                QStringLiteral("总计(元)：") + field(QStringLiteral("fyzj")).text();
    try {
        Database& db = ctx_.dm.db();
        Transaction transaction(db);
        Query(db,
              QStringLiteral("INSERT INTO 读者 (读者编号, 读者类型, 读者姓名, 性别, 证件号码, "
                             "电话, 开户日期, 押金, 借阅有效期, 最多持有图书数量, "
                             "最长持有图书天数, 备注, 未还数量, 借阅总计, 当前状态, 状态设置期) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?)"))
            .bindAll({id, type, name, field(QStringLiteral("xp")).text(),
                      Gbk::truncateToBytes(field(QStringLiteral("zjhm")).text(), kIdNumberBytes),
                      Gbk::truncateToBytes(field(QStringLiteral("df")).text(), kPhoneBytes),
                      Dates::toStorage(now), sum->deposit,
                      Dates::toStorage(field(QStringLiteral("yxq")).value().toDateTime()),
                      field(QStringLiteral("tssn")).number(),
                      field(QStringLiteral("tssj")).number(),
                      Gbk::truncateToBytes(Gbk::joinLines(field(QStringLiteral("bz")).text()),
                                           kRemarkBytes),
                      Readers::states().at(Readers::NormalUse), Dates::toStorage(now)})
            .exec();
        ctx_.dm.appendLedger(QStringLiteral("添加读者"), pub.CurrentUser, now,
                             {.total = static_cast<float>(sum->total),
                              .openingFee = static_cast<float>(sum->openingFee),
                              .deposit = static_cast<float>(sum->deposit),
                              .rent = static_cast<float>(sum->rent)});
        ctx_.dm.appendLog(QStringLiteral("添加读者"), pub.CurrentUser, now, explanation);
        transaction.commit();
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    ctx_.prompter.information(QStringLiteral("添加读者成功!"));
    iniall();
    field(QStringLiteral("ID")).requestFocus();
}

void Tfrm_TJReader::Button2Click() {
    close();
}

} // namespace lms
