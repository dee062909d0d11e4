#include "admin/Tfrm_CSSet.h"

#include "core/DateRules.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

#include <array>
#include <cmath>
#include <limits>

namespace lms {

namespace {

constexpr int kAmountMaxBytes = 5;
constexpr int kRateMaxBytes = 10;
constexpr int kIdLengthMin = 1;
constexpr int kIdLengthMax = 20;

// The settings of one reader type and the fields that edit them (page k = 1 .. 4).
struct ReaderTypePage {
    float PubData::*rent;
    float PubData::*deposit;
    float PubData::*openingFee;
    int PubData::*maxBooks;
    int PubData::*maxDays;
    const char* rentCaption;
};

const std::array<ReaderTypePage, 4>& pages() {
    static const std::array<ReaderTypePage, 4> table = {{
        {&PubData::MonthlyRent, &PubData::MonthlyDeposit, &PubData::MonthlyOpeningFee,
         &PubData::MonthlyMaxBooks, &PubData::MonthlyMaxDays, "每月租金（元）："},
        {&PubData::QuarterlyRent, &PubData::QuarterlyDeposit, &PubData::QuarterlyOpeningFee,
         &PubData::QuarterlyMaxBooks, &PubData::QuarterlyMaxDays, "每季度租金（元）："},
        {&PubData::YearlyRent, &PubData::YearlyDeposit, &PubData::YearlyOpeningFee,
         &PubData::YearlyMaxBooks, &PubData::YearlyMaxDays, "每年租金（元）："},
        {&PubData::DailyRent, &PubData::DailyDeposit, &PubData::DailyOpeningFee,
         &PubData::DailyMaxBooks, &PubData::DailyMaxDays, "每本每日租金（元）："},
    }};
    return table;
}

QString pageField(const char* kind, int page) {
    return QStringLiteral("R%1%2input").arg(page).arg(QString::fromUtf8(kind));
}

QString amountText(float value) {
    return Numbers::generalForm(Numbers::widened(value));
}

// Thrown by savetols when a field does not convert.
struct NotANumber {};

// The value an amount field holds as the settings keep it: single precision, and for the
// damage rate the typed percentage divided by 100. Nothing when the text does not convert.
std::optional<float> amountValue(const Field& field) {
    if (field.name() != QStringLiteral("PSFJinput"))
        return Numbers::parseSingle(field.text());
    const std::optional<double> percent = Numbers::parseDecimal(field.text());
    if (!percent || std::fabs(*percent / 100) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*percent / 100);
}

float amountOf(const Field& field) {
    const std::optional<float> value = amountValue(field);
    if (!value)
        throw NotANumber{};
    return *value;
}

} // namespace

const QStringList& Tfrm_CSSet::amountFields() {
    static const QStringList names = [] {
        QStringList list;
        for (int k = 1; k <= 4; ++k)
            list << pageField("ZJ", k) << pageField("YJ", k) << pageField("KFF", k);
        list << QStringLiteral("CQFJinput") << QStringLiteral("PSFJinput");
        return list;
    }();
    return names;
}

Tfrm_CSSet::Tfrm_CSSet(ScreenContext& context)
    : FormModel(QStringLiteral("frm_CSSet"), QStringLiteral("系统参数设置")), ctx_(context) {
    addField(QStringLiteral("GroupBox1"), FieldKind::Group, QStringLiteral("款项有关参数："));
    addField(QStringLiteral("GroupBox2"), FieldKind::Group, QStringLiteral("读者类型："));
    for (int k = 1; k <= 4; ++k) {
        addField(pageField("ZJ", k), FieldKind::Text, QString::fromUtf8(pages()[k - 1].rentCaption))
            .setMaxBytes(kAmountMaxBytes);
        addField(pageField("YJ", k), FieldKind::Text, QStringLiteral("押金（元）："))
            .setMaxBytes(kAmountMaxBytes);
        addField(pageField("KFF", k), FieldKind::Text, QStringLiteral("开户费（元）："))
            .setMaxBytes(kAmountMaxBytes);
        addField(pageField("BN", k), FieldKind::Spin, QStringLiteral("最多持有图书数量（本）："))
            .setUnbounded();
        // A loan period keeps its due date storable.
        addField(pageField("DN", k), FieldKind::Spin, QStringLiteral("最长持有图书时间（天）："))
            .setRange(-Dates::kLongestDaySpan, Dates::kLongestDaySpan);
    }
    addField(QStringLiteral("CQFJinput"), FieldKind::Text,
             QStringLiteral("图书租借超期每日每本书罚金:"))
        .setMaxBytes(kAmountMaxBytes);
    addField(QStringLiteral("PSFJinput"), FieldKind::Text, QStringLiteral("图书破损遗失按书价:"))
        .setMaxBytes(kRateMaxBytes);
    addField(QStringLiteral("isGGinput"), FieldKind::Check,
             QStringLiteral("系统自动计算出的金额可手工更改"));
    addField(QStringLiteral("TSTSinput"), FieldKind::Spin, QStringLiteral("有效期小于"))
        .setUnbounded();

    addField(QStringLiteral("GroupBox3"), FieldKind::Group, QStringLiteral("其它参数："));
    addField(QStringLiteral("TZCDinput"), FieldKind::Spin, QStringLiteral("读者编号最多"))
        .setRange(kIdLengthMin, kIdLengthMax);
    addField(QStringLiteral("TSCDinput"), FieldKind::Spin, QStringLiteral("图书编号最多"))
        .setRange(kIdLengthMin, kIdLengthMax);
    addField(QStringLiteral("isYCZJQinput"), FieldKind::Check,
             QStringLiteral("读者未借书时租借有效期自动延长"));
    addField(QStringLiteral("isBFSJinput"), FieldKind::Check,
             QStringLiteral("软件运行时自动备份数据库"));

    addField(QStringLiteral("GroupBox4"), FieldKind::Group, QStringLiteral("图书类型："));
    addField(QStringLiteral("tsrx"), FieldKind::ListBox);
    addField(QStringLiteral("Button4"), FieldKind::Button, QStringLiteral("增加"));
    addField(QStringLiteral("Button5"), FieldKind::Button, QStringLiteral("删除"));
    addField(QStringLiteral("TypeHint1"), FieldKind::Label).setValue(QStringLiteral("提示："));
    addField(QStringLiteral("TypeHint2"), FieldKind::Label)
        .setValue(QStringLiteral("请在图书录入之前确定好图"));
    addField(QStringLiteral("TypeHint3"), FieldKind::Label)
        .setValue(QStringLiteral("类型，否则会影响系统中图书分类"));

    addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("应用"));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("应用并保存"));
    addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

    for (const QString& name : amountFields())
        onExit(name, [this] { R1ZJinputExit(); });
    addOperation(QStringLiteral("R1ZJinputExit"), [this] { R1ZJinputExit(); });
    addOperation(QStringLiteral("Button3Click"), [this] { Button3Click(); });
    addOperation(QStringLiteral("Button1Click"), [this] { Button1Click(); });
    addOperation(QStringLiteral("Button2Click"), [this] { close(); });
    addOperation(QStringLiteral("Button4Click"), [this] { Button4Click(); });
    addOperation(QStringLiteral("Button5Click"), [this] { Button5Click(); });
}

void Tfrm_CSSet::FormShow() {
    const PubData& g = ctx_.pub;
    for (int k = 1; k <= 4; ++k) {
        const ReaderTypePage& page = pages()[k - 1];
        field(pageField("ZJ", k)).setValue(amountText(g.*page.rent));
        field(pageField("YJ", k)).setValue(amountText(g.*page.deposit));
        field(pageField("KFF", k)).setValue(amountText(g.*page.openingFee));
        field(pageField("BN", k)).setValue(g.*page.maxBooks);
        field(pageField("DN", k)).setValue(g.*page.maxDays);
    }
    field(QStringLiteral("CQFJinput")).setValue(amountText(g.OverdueFinePerDay));
    field(QStringLiteral("PSFJinput"))
        .setValue(Numbers::twoDecimalForm(Numbers::widened(g.DamageRate) * 100));
    field(QStringLiteral("isGGinput")).setValue(g.AllowAmountEdit);
    field(QStringLiteral("TSTSinput")).setValue(g.ExpiryReminderDays);
    // The id-length spinners show only lengths they can hold, as they would read them back.
    field(QStringLiteral("TZCDinput"))
        .setValue(qBound(kIdLengthMin, g.ReaderIdMaxLen, kIdLengthMax));
    field(QStringLiteral("TSCDinput")).setValue(qBound(kIdLengthMin, g.BookIdMaxLen, kIdLengthMax));
    field(QStringLiteral("isYCZJQinput")).setValue(g.AutoExtendValidity);
    field(QStringLiteral("isBFSJinput")).setValue(g.AutoBackupOnStart);
    showTSRX();
}

bool Tfrm_CSSet::savetols() {
    PubData& p = pending_;
    try {
        for (int k = 1; k <= 4; ++k) {
            const ReaderTypePage& page = pages()[k - 1];
            p.*page.rent = amountOf(field(pageField("ZJ", k)));
            p.*page.deposit = amountOf(field(pageField("YJ", k)));
            p.*page.openingFee = amountOf(field(pageField("KFF", k)));
            p.*page.maxBooks = field(pageField("BN", k)).number();
            p.*page.maxDays = field(pageField("DN", k)).number();
        }
        p.OverdueFinePerDay = amountOf(field(QStringLiteral("CQFJinput")));
        p.DamageRate = amountOf(field(QStringLiteral("PSFJinput")));
        p.AllowAmountEdit = field(QStringLiteral("isGGinput")).checked();
        p.ExpiryReminderDays = field(QStringLiteral("TSTSinput")).number();
        p.AutoExtendValidity = field(QStringLiteral("isYCZJQinput")).checked();
        p.AutoBackupOnStart = field(QStringLiteral("isBFSJinput")).checked();
        p.ReaderIdMaxLen =
            qBound(kIdLengthMin, field(QStringLiteral("TZCDinput")).number(), kIdLengthMax);
        p.BookIdMaxLen =
            qBound(kIdLengthMin, field(QStringLiteral("TSCDinput")).number(), kIdLengthMax);
        return true;
    } catch (const NotANumber&) {
        return false;
    }
}

void Tfrm_CSSet::showTSRX() {
    Field& list = field(QStringLiteral("tsrx"));
    list.setItems({});
    list.setValue(QString());
    QStringList names;
    try {
        Query query(ctx_.dm.db(),
                    QStringLiteral("SELECT 图书类型名称 FROM 图书类型 ORDER BY rowid"));
        while (query.next())
            names << query.text(0);
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
    list.setItems(names);
    if (!names.isEmpty())
        list.setItemIndex(0);
}

void Tfrm_CSSet::R1ZJinputExit() {
    for (const QString& name : amountFields())
        if (field(name).text().isEmpty())
            return;
    for (const QString& name : amountFields()) {
        if (!amountValue(field(name))) {
            ctx_.prompter.error(QStringLiteral("输入错误！请输入正确有效的数字。"));
            return;
        }
    }
}

void Tfrm_CSSet::applyPending() {
    PubData& g = ctx_.pub;
    const QString appPath = g.AppPath;
    const QString currentUser = g.CurrentUser;
    g = pending_;
    g.AppPath = appPath;
    g.CurrentUser = currentUser;
}

void Tfrm_CSSet::Button3Click() {
    if (!savetols()) {
        ctx_.prompter.information(QStringLiteral("输入数据错误!请输入正确数字"));
        return;
    }
    applyPending();
}

void Tfrm_CSSet::Button1Click() {
    if (!savetols()) {
        ctx_.prompter.information(QStringLiteral("输入数据错误!请输入正确数字"));
        return;
    }
    applyPending();
    try {
        Transaction transaction(ctx_.dm.db());
        if (!ctx_.dm.WriteSysSet())
            throw DbError(0, "settings not stored");
        ctx_.dm.appendLog(QStringLiteral("修改系统参数"), ctx_.pub.CurrentUser, ctx_.clock.now(),
                          QString());
        transaction.commit();
        ctx_.prompter.information(QStringLiteral("保存成功!"));
    } catch (const DbError&) {
        showError();
    }
}

void Tfrm_CSSet::Button4Click() {
    const std::optional<QString> answer = ctx_.prompter.input(
        QStringLiteral("增加图书类型"), QStringLiteral("请输入新的图书类型名称："), QString());
    if (!answer || answer->isEmpty())
        return;
    const QString name = *answer;
    Database& db = ctx_.dm.db();
    try {
        if (db.scalar(QStringLiteral("SELECT 1 FROM 图书类型 WHERE 图书类型名称 = ?"), {name})
                .isValid()) {
            ctx_.prompter.error(QStringLiteral("此图书类型已存在！"));
            return;
        }
    } catch (const DbError&) {
        // The unique index still refuses a duplicate below.
        showError();
    }
    try {
        Transaction transaction(db);
        Query(db, QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES (?)"))
            .bind(1, name)
            .exec();
        ctx_.dm.appendLog(QStringLiteral("添加新图书类型"), ctx_.pub.CurrentUser, ctx_.clock.now(),
                          QStringLiteral("图书类型名称：") + name);
        transaction.commit();
        ctx_.prompter.information(QStringLiteral("添加新图书类型成功!"));
    } catch (const DbError&) {
        showError();
    }
    showTSRX();
}

void Tfrm_CSSet::Button5Click() {
    const QString name = field(QStringLiteral("tsrx")).text();
    if (field(QStringLiteral("tsrx")).itemIndex() < 0) {
        ctx_.prompter.error(QStringLiteral("请先选择要删除的图书类型!"));
        return;
    }
    if (!ctx_.prompter.informationOkCancel(QStringLiteral("删除图书类型会影响系统中图书的分类，") +
                                           QStringLiteral("\r\r您确实要删除图书类型： ") + name +
                                           QStringLiteral(" 吗？")))
        return;
    Database& db = ctx_.dm.db();
    try {
        Transaction transaction(db);
        Query(db, QStringLiteral("DELETE FROM 图书类型 WHERE 图书类型名称 = ?"))
            .bind(1, name)
            .exec();
        ctx_.dm.appendLog(QStringLiteral("删除图书类型"), ctx_.pub.CurrentUser, ctx_.clock.now(),
                          QStringLiteral("被删除的图书类型：") + name);
        transaction.commit();
        ctx_.prompter.information(QStringLiteral("图书类型:") + name +
                                  QStringLiteral("已成功删除!"));
    } catch (const DbError&) {
        showError();
    }
    showTSRX();
}

void Tfrm_CSSet::showError() {
    ctx_.prompter.error(Messages::databaseError());
}

} // namespace lms
