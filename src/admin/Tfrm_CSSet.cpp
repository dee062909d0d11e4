#include "admin/Tfrm_CSSet.h"

#include "books/BookTypes.h"
#include "core/DateRules.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/SettingsStore.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

#include <cmath>
#include <limits>

namespace lms {

namespace {

// The settings of one reader type (page k = 1 .. 4).
struct ReaderTypeSettings {
    float PubData::*rent;
    float PubData::*deposit;
    float PubData::*openingFee;
    int PubData::*maxBooks;
    int PubData::*maxDays;
};

const std::array<ReaderTypeSettings, 4>& readerTypeSettings() {
    static const std::array<ReaderTypeSettings, 4> table = {{
        {&PubData::MonthlyRent, &PubData::MonthlyDeposit, &PubData::MonthlyOpeningFee,
         &PubData::MonthlyMaxBooks, &PubData::MonthlyMaxDays},
        {&PubData::QuarterlyRent, &PubData::QuarterlyDeposit, &PubData::QuarterlyOpeningFee,
         &PubData::QuarterlyMaxBooks, &PubData::QuarterlyMaxDays},
        {&PubData::YearlyRent, &PubData::YearlyDeposit, &PubData::YearlyOpeningFee,
         &PubData::YearlyMaxBooks, &PubData::YearlyMaxDays},
        {&PubData::DailyRent, &PubData::DailyDeposit, &PubData::DailyOpeningFee,
         &PubData::DailyMaxBooks, &PubData::DailyMaxDays},
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
    for (Field* amount : amounts())
        onExit(*amount, [this] { R1ZJinputExit(); });
    addOperation(QStringLiteral("R1ZJinputExit"), [this] { R1ZJinputExit(); });
    onClick(Button3, [this] { Button3Click(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { close(); });
    onClick(Button4, [this] { Button4Click(); });
    onClick(Button5, [this] { Button5Click(); });
}

Tfrm_CSSet::ReaderTypeFields Tfrm_CSSet::addReaderTypePage(int page, const QString& rentCaption) {
    return {
        .rent = addField(pageField("ZJ", page), FieldKind::Text, rentCaption)
                    .setMaxBytes(kAmountMaxBytes),
        .deposit = addField(pageField("YJ", page), FieldKind::Text, QStringLiteral("押金（元）："))
                       .setMaxBytes(kAmountMaxBytes),
        .openingFee =
            addField(pageField("KFF", page), FieldKind::Text, QStringLiteral("开户费（元）："))
                .setMaxBytes(kAmountMaxBytes),
        .maxBooks = addField(pageField("BN", page), FieldKind::Spin,
                             QStringLiteral("最多持有图书数量（本）："))
                        .setUnbounded(),
        // A loan period keeps its due date storable.
        .maxDays = addField(pageField("DN", page), FieldKind::Spin,
                            QStringLiteral("最长持有图书时间（天）："))
                       .setRange(-Dates::kLongestDaySpan, Dates::kLongestDaySpan),
    };
}

std::array<Field*, 14> Tfrm_CSSet::amounts() {
    return {&R1.rent,       &R1.deposit,    &R1.openingFee, &R2.rent,       &R2.deposit,
            &R2.openingFee, &R3.rent,       &R3.deposit,    &R3.openingFee, &R4.rent,
            &R4.deposit,    &R4.openingFee, &CQFJinput,     &PSFJinput};
}

std::optional<float> Tfrm_CSSet::amountValue(const Field& field) const {
    if (&field != &PSFJinput)
        return Numbers::parseSingle(field.text());
    // The damage rate is kept as a fraction of the typed percentage.
    const std::optional<double> percent = Numbers::parseDecimal(field.text());
    if (!percent || std::fabs(*percent / 100) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*percent / 100);
}

void Tfrm_CSSet::FormShow() {
    showSettings();
    showTSRX();
}

void Tfrm_CSSet::showSettings() {
    const PubData& g = ctx_.pub;
    for (std::size_t k = 0; k < 4; ++k) {
        const ReaderTypeSettings& settings = readerTypeSettings()[k];
        const ReaderTypeFields& page = *pages()[k];
        page.rent.setValue(amountText(g.*settings.rent));
        page.deposit.setValue(amountText(g.*settings.deposit));
        page.openingFee.setValue(amountText(g.*settings.openingFee));
        page.maxBooks.setValue(g.*settings.maxBooks);
        page.maxDays.setValue(g.*settings.maxDays);
    }
    CQFJinput.setValue(amountText(g.OverdueFinePerDay));
    PSFJinput.setValue(Numbers::twoDecimalForm(Numbers::widened(g.DamageRate) * 100));
    isGGinput.setValue(g.AllowAmountEdit);
    TSTSinput.setValue(g.ExpiryReminderDays);
    // The id-length spinners show only lengths they can hold, as they would read them back.
    TZCDinput.setValue(qBound(kIdLengthMin, g.ReaderIdMaxLen, kIdLengthMax));
    TSCDinput.setValue(qBound(kIdLengthMin, g.BookIdMaxLen, kIdLengthMax));
    isYCZJQinput.setValue(g.AutoExtendValidity);
    isBFSJinput.setValue(g.AutoBackupOnStart);
    BDMCinput.setValue(g.ShopName);
}

bool Tfrm_CSSet::savetols() {
    PubData& p = pending_;
    const auto amountOf = [this](const Field& field) {
        const std::optional<float> value = amountValue(field);
        if (!value)
            throw NotANumber{};
        return *value;
    };
    try {
        for (std::size_t k = 0; k < 4; ++k) {
            const ReaderTypeSettings& settings = readerTypeSettings()[k];
            const ReaderTypeFields& page = *pages()[k];
            p.*settings.rent = amountOf(page.rent);
            p.*settings.deposit = amountOf(page.deposit);
            p.*settings.openingFee = amountOf(page.openingFee);
            p.*settings.maxBooks = page.maxBooks.number();
            p.*settings.maxDays = page.maxDays.number();
        }
        p.OverdueFinePerDay = amountOf(CQFJinput);
        p.DamageRate = amountOf(PSFJinput);
        p.AllowAmountEdit = isGGinput.checked();
        p.ExpiryReminderDays = TSTSinput.number();
        p.AutoExtendValidity = isYCZJQinput.checked();
        p.AutoBackupOnStart = isBFSJinput.checked();
        p.ReaderIdMaxLen = qBound(kIdLengthMin, TZCDinput.number(), kIdLengthMax);
        p.BookIdMaxLen = qBound(kIdLengthMin, TSCDinput.number(), kIdLengthMax);
        p.ShopName = BDMCinput.text().trimmed();
        return true;
    } catch (const NotANumber&) {
        return false;
    }
}

void Tfrm_CSSet::showTSRX() {
    tsrx.setItems({});
    tsrx.setValue(QString());
    QStringList names;
    try {
        names = Books::loadBookTypes(ctx_.dm.db());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
    tsrx.setItems(names);
    if (!names.isEmpty())
        tsrx.setItemIndex(0);
}

void Tfrm_CSSet::R1ZJinputExit() {
    const std::array<Field*, 14> fields = amounts();
    for (const Field* field : fields)
        if (field->text().isEmpty())
            return;
    for (const Field* field : fields) {
        if (!amountValue(*field)) {
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
        switch (SettingsStore::save(ctx_.dm, ctx_.pub.CurrentUser, ctx_.clock.now())) {
        case SettingsStore::SaveOutcome::Saved:
            ctx_.prompter.information(QStringLiteral("保存成功!"));
            break;
        case SettingsStore::SaveOutcome::SavedWithOthers:
            ctx_.prompter.information(
                QStringLiteral("保存成功!\r\r其他窗口刚刚保存的参数也已生效，请查看。"));
            showSettings();
            break;
        case SettingsStore::SaveOutcome::Refused:
            ctx_.prompter.error(QStringLiteral("系统参数已在其他窗口更改！\r\r"
                                               "已显示现在保存的参数，请查看后重新输入再保存。"));
            showSettings();
            break;
        }
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
    try {
        if (Books::bookTypeExists(ctx_.dm.db(), name)) {
            ctx_.prompter.error(QStringLiteral("此图书类型已存在！"));
            return;
        }
    } catch (const DbError&) {
        // The unique index still refuses a duplicate below.
        showError();
    }
    try {
        if (Books::addBookType(ctx_.dm, name, ctx_.pub.CurrentUser, ctx_.clock.now()))
            ctx_.prompter.information(QStringLiteral("添加新图书类型成功!"));
        else // added at another desk since the check above
            ctx_.prompter.error(QStringLiteral("此图书类型已存在！"));
    } catch (const DbError&) {
        showError();
    }
    showTSRX();
}

void Tfrm_CSSet::Button5Click() {
    const QString name = tsrx.text();
    if (tsrx.itemIndex() < 0) {
        ctx_.prompter.error(QStringLiteral("请先选择要删除的图书类型!"));
        return;
    }
    if (!ctx_.prompter.informationOkCancel(QStringLiteral("删除图书类型会影响系统中图书的分类，") +
                                           QStringLiteral("\r\r您确实要删除图书类型： ") + name +
                                           QStringLiteral(" 吗？")))
        return;
    try {
        if (Books::deleteBookType(ctx_.dm, name, ctx_.pub.CurrentUser, ctx_.clock.now()))
            ctx_.prompter.information(QStringLiteral("图书类型:") + name +
                                      QStringLiteral("已成功删除!"));
        else
            ctx_.prompter.error(
                QStringLiteral("图书类型：") + name +
                QStringLiteral("已在其他窗口删除！\r\r请查看图书类型列表后再操作。"));
    } catch (const DbError&) {
        showError();
    }
    showTSRX();
}

void Tfrm_CSSet::showError() {
    ctx_.prompter.error(Messages::databaseError());
}

} // namespace lms
