#include "core/SettingsStore.h"

#include "core/Tdm_Dbase.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lms::SettingsStore {

namespace {

struct ReaderTypeSettings {
    float* rent;
    float* deposit;
    float* openingFee;
    int* maxBooks;
    int* maxDays;
};

std::array<ReaderTypeSettings, 4> readerTypes(PubData& d) {
    return {
        {{&d.MonthlyRent, &d.MonthlyDeposit, &d.MonthlyOpeningFee, &d.MonthlyMaxBooks,
          &d.MonthlyMaxDays},
         {&d.QuarterlyRent, &d.QuarterlyDeposit, &d.QuarterlyOpeningFee, &d.QuarterlyMaxBooks,
          &d.QuarterlyMaxDays},
         {&d.YearlyRent, &d.YearlyDeposit, &d.YearlyOpeningFee, &d.YearlyMaxBooks,
          &d.YearlyMaxDays},
         {&d.DailyRent, &d.DailyDeposit, &d.DailyOpeningFee, &d.DailyMaxBooks, &d.DailyMaxDays}}};
}

// One setting of the running values, of one of four kinds.
struct Setting {
    float PubData::*single = nullptr;
    int PubData::*number = nullptr;
    bool PubData::*flag = nullptr;
    QString PubData::*text = nullptr;
};

constexpr Setting singleSetting(float PubData::*member) {
    return {.single = member, .number = nullptr, .flag = nullptr, .text = nullptr};
}
constexpr Setting numberSetting(int PubData::*member) {
    return {.single = nullptr, .number = member, .flag = nullptr, .text = nullptr};
}
constexpr Setting flagSetting(bool PubData::*member) {
    return {.single = nullptr, .number = nullptr, .flag = member, .text = nullptr};
}
constexpr Setting textSetting(QString PubData::*member) {
    return {.single = nullptr, .number = nullptr, .flag = nullptr, .text = member};
}

// Every setting the records hold: what a save compares, setting by setting.
constexpr std::array kSettings = {
    singleSetting(&PubData::MonthlyRent),
    singleSetting(&PubData::MonthlyDeposit),
    singleSetting(&PubData::MonthlyOpeningFee),
    numberSetting(&PubData::MonthlyMaxBooks),
    numberSetting(&PubData::MonthlyMaxDays),
    singleSetting(&PubData::QuarterlyRent),
    singleSetting(&PubData::QuarterlyDeposit),
    singleSetting(&PubData::QuarterlyOpeningFee),
    numberSetting(&PubData::QuarterlyMaxBooks),
    numberSetting(&PubData::QuarterlyMaxDays),
    singleSetting(&PubData::YearlyRent),
    singleSetting(&PubData::YearlyDeposit),
    singleSetting(&PubData::YearlyOpeningFee),
    numberSetting(&PubData::YearlyMaxBooks),
    numberSetting(&PubData::YearlyMaxDays),
    singleSetting(&PubData::DailyRent),
    singleSetting(&PubData::DailyDeposit),
    singleSetting(&PubData::DailyOpeningFee),
    numberSetting(&PubData::DailyMaxBooks),
    numberSetting(&PubData::DailyMaxDays),
    singleSetting(&PubData::OverdueFinePerDay),
    singleSetting(&PubData::DamageRate),
    flagSetting(&PubData::AllowAmountEdit),
    numberSetting(&PubData::ExpiryReminderDays),
    flagSetting(&PubData::AutoExtendValidity),
    flagSetting(&PubData::AutoBackupOnStart),
    numberSetting(&PubData::ReaderIdMaxLen),
    numberSetting(&PubData::BookIdMaxLen),
    textSetting(&PubData::ShopName),
};

bool same(const Setting& s, const PubData& a, const PubData& b) {
    if (s.single)
        return a.*s.single == b.*s.single;
    if (s.number)
        return a.*s.number == b.*s.number;
    if (s.text)
        return a.*s.text == b.*s.text;
    return a.*s.flag == b.*s.flag;
}

void copy(const Setting& s, PubData& to, const PubData& from) {
    if (s.single)
        to.*s.single = from.*s.single;
    else if (s.number)
        to.*s.number = from.*s.number;
    else if (s.text)
        to.*s.text = from.*s.text;
    else
        to.*s.flag = from.*s.flag;
}

constexpr int kFirstSettingsRecord = 6; // records 1 to 6 carry nothing of this system
constexpr int kSettingsRecords = 5;

std::vector<qint64> settingsRowids(Database& db) {
    Query query(db, QStringLiteral("SELECT rowid FROM sysset ORDER BY rowid LIMIT ? OFFSET ?"));
    query.bind(1, kSettingsRecords).bind(2, kFirstSettingsRecord);
    std::vector<qint64> rowids;
    while (query.next())
        rowids.push_back(query.integer(0));
    if (rowids.size() != kSettingsRecords)
        throw DbError(0, "sysset lacks its settings records");
    return rowids;
}

float single(const Query& q, int column) {
    return static_cast<float>(q.real(column));
}
int int32(const Query& q, int column) {
    return static_cast<int>(q.integer(column));
}

} // namespace

void read(Database& db, PubData& into) {
    const std::vector<qint64> rowids = settingsRowids(db);
    PubData loaded = into;
    const auto types = readerTypes(loaded);
    Query query(db,
                QStringLiteral("SELECT value1, value2, value3, value6, value7, value8, "
                               "value11, value12, value13, value14 FROM sysset WHERE rowid = ?"));
    for (std::size_t k = 0; k < rowids.size(); ++k) {
        query.reset();
        query.bind(1, rowids[k]);
        if (!query.next())
            throw DbError(0, "settings record vanished");
        if (k < types.size()) {
            *types[k].rent = single(query, 0);
            *types[k].deposit = single(query, 1);
            *types[k].openingFee = single(query, 2);
            *types[k].maxBooks = int32(query, 3);
            *types[k].maxDays = int32(query, 4);
        } else {
            loaded.OverdueFinePerDay = single(query, 0);
            loaded.DamageRate = single(query, 1);
            loaded.ExpiryReminderDays = int32(query, 3);
            loaded.ReaderIdMaxLen = int32(query, 4);
            loaded.BookIdMaxLen = int32(query, 5);
            loaded.AllowAmountEdit = query.integer(6) != 0;
            loaded.AutoExtendValidity = query.integer(7) != 0;
            loaded.AutoBackupOnStart = query.integer(8) != 0;
            loaded.ShopName = query.text(9);
        }
    }
    into = loaded;
}

void write(Database& db, const PubData& from) {
    const std::vector<qint64> rowids = settingsRowids(db);
    PubData copy = from;
    const auto types = readerTypes(copy);
    Query typeRecord(db, QStringLiteral("UPDATE sysset SET value1 = ?, value2 = ?, value3 = ?, "
                                        "value6 = ?, value7 = ? WHERE rowid = ?"));
    for (std::size_t k = 0; k < types.size(); ++k) {
        typeRecord.reset();
        typeRecord.bindAll({double(*types[k].rent), double(*types[k].deposit),
                            double(*types[k].openingFee), *types[k].maxBooks, *types[k].maxDays,
                            rowids[k]});
        typeRecord.exec();
    }
    Query general(db, QStringLiteral("UPDATE sysset SET value1 = ?, value2 = ?, value6 = ?, "
                                     "value7 = ?, value8 = ?, value11 = ?, value12 = ?, "
                                     "value13 = ?, value14 = ? WHERE rowid = ?"));
    general.bindAll({double(from.OverdueFinePerDay), double(from.DamageRate),
                     from.ExpiryReminderDays, from.ReaderIdMaxLen, from.BookIdMaxLen,
                     from.AllowAmountEdit, from.AutoExtendValidity, from.AutoBackupOnStart,
                     from.ShopName, rowids[4]});
    general.exec();
}

bool sameSettings(const PubData& a, const PubData& b) {
    return std::ranges::all_of(kSettings, [&](const Setting& s) { return same(s, a, b); });
}

void copySettings(PubData& to, const PubData& from) {
    for (const Setting& setting : kSettings)
        copy(setting, to, from);
}

SaveOutcome save(Tdm_Dbase& dm, const QString& user, const QDateTime& now) {
    Database& db = dm.db();
    const PubData wanted = dm.pub();
    Transaction transaction(db);
    PubData stored = wanted;
    read(db, stored);
    // Without a copy of what was read (the records could not be read at start), every setting
    // counts as the clerk's.
    const PubData loaded = dm.storedSettings().value_or(stored);
    PubData result = stored;
    bool othersKept = false;
    bool conflict = false;
    for (const Setting& setting : kSettings) {
        const bool clerkChanged = !dm.storedSettings() || !same(setting, wanted, loaded);
        const bool changedElsewhere = !same(setting, stored, loaded);
        if (clerkChanged && changedElsewhere && !same(setting, stored, wanted))
            conflict = true;
        else if (clerkChanged)
            copy(setting, result, wanted);
        else if (changedElsewhere)
            othersKept = true;
    }
    if (conflict) {
        result = stored;
    } else {
        write(db, result);
        dm.appendLog(QStringLiteral("修改系统参数"), user, now, QString());
        transaction.commit();
    }
    copySettings(dm.pub(), result);
    dm.keepStoredSettings(result);
    if (conflict)
        return SaveOutcome::Refused;
    return othersKept ? SaveOutcome::SavedWithOthers : SaveOutcome::Saved;
}

} // namespace lms::SettingsStore
