// The query screens' statements over any ticked criteria and typed values (quotes, "%", "_",
// NULs, invalid UTF-8, lone surrogates): the statement text never depends on or contains what
// was typed, every value is a bound parameter, and the shop's database accepts the statement as
// one read-only statement and runs it.
#include "Check.h"
#include "FuzzText.h"
#include "core/Database.h"
#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"
#include "queries/FilterBuilder.h"
#include "queries/Tfrm_CHRZ.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QJCBook.h"
#include "queries/Tfrm_QallBook.h"
#include "queries/Tfrm_QallMoney.h"
#include "queries/Tfrm_QallReader.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace {

using lms::fuzz::check;
using lms::fuzz::units;

const std::vector<lms::QueryDefinition>& screens() {
    static const std::vector<lms::QueryDefinition> definitions = {
        lms::Tfrm_CHRZ::makeDefinition(),      lms::Tfrm_QallBook::makeDefinition(),
        lms::Tfrm_QJCBook::makeDefinition(),   lms::Tfrm_QallReader::makeDefinition(),
        lms::Tfrm_QallMoney::makeDefinition(), lms::Tfrm_QAllRec::makeDefinition()};
    return definitions;
}

// The shop's database, created as the program creates it, and its schema replayed into an
// in-memory database with a few rows whose texts are made of the characters LIKE treats apart.
struct ShopDatabases {
    QTemporaryDir folder;
    lms::PubData pub;
    std::unique_ptr<lms::Tdm_Dbase> dm;
    sqlite3* memory = nullptr;

    ShopDatabases() {
        check(folder.isValid(), "a temporary folder for the shop's database");
        pub = lms::PubData::defaultSettings();
        pub.AppPath = folder.path() + QLatin1Char('/');
        dm = std::make_unique<lms::Tdm_Dbase>(pub);
        dm->createDatabase(QStringLiteral("admin"), QStringLiteral("secret"));
        dm->connect();
        check(sqlite3_open(":memory:", &memory) == SQLITE_OK, "an in-memory database");
        lms::Query schema(dm->db(), QStringLiteral("SELECT sql FROM sqlite_master WHERE sql "
                                                   "IS NOT NULL ORDER BY rowid"));
        while (schema.next())
            exec(schema.text(0));
        for (const QString& table :
             {QStringLiteral("读者"), QStringLiteral("图书"), QStringLiteral("借出图书"),
              QStringLiteral("图书借阅历史记录"), QStringLiteral("资金"), QStringLiteral("日志")})
            addRows(table);
    }

    void exec(const QString& sql) {
        char* error = nullptr;
        const int rc = sqlite3_exec(memory, sql.toUtf8().constData(), nullptr, nullptr, &error);
        check(rc == SQLITE_OK, "the schema replays in memory",
              sql + QStringLiteral(": ") + QString::fromUtf8(error ? error : ""));
        sqlite3_free(error);
    }

    // Rows whose every text column holds the same text (bound), the numbers 1.
    void addRows(const QString& table) {
        QStringList types;
        sqlite3_stmt* info = nullptr;
        const QByteArray pragma = QStringLiteral("PRAGMA table_info(\"%1\")").arg(table).toUtf8();
        sqlite3_prepare_v2(memory, pragma.constData(), -1, &info, nullptr);
        while (sqlite3_step(info) == SQLITE_ROW)
            types << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 2)));
        sqlite3_finalize(info);
        QStringList marks;
        for (qsizetype i = 0; i < types.size(); ++i)
            marks << QStringLiteral("?");
        const QByteArray insert = QStringLiteral("INSERT INTO \"%1\" VALUES (%2)")
                                      .arg(table, marks.join(QStringLiteral(", ")))
                                      .toUtf8();
        for (const char* text : {"%", "_", "'", "a%b_c", "小说", "2026-03-14 00:00:00.000"}) {
            sqlite3_stmt* row = nullptr;
            check(sqlite3_prepare_v2(memory, insert.constData(), -1, &row, nullptr) == SQLITE_OK,
                  "rows go into the in-memory database", table);
            for (int c = 0; c < static_cast<int>(types.size()); ++c) {
                if (types[c] == QStringLiteral("TEXT"))
                    sqlite3_bind_text(row, c + 1, text, -1, SQLITE_STATIC);
                else
                    sqlite3_bind_int(row, c + 1, 1);
            }
            check(sqlite3_step(row) == SQLITE_DONE, "a row goes into the in-memory database",
                  table);
            sqlite3_finalize(row);
        }
    }
};

ShopDatabases* databases = nullptr;

// The local zone: one without summer time, and São Paulo, whose clock skipped midnight
// (00:00 -> 01:00) when summer time started, until 2019.
void useZone(bool saoPaulo) {
    static int current = -1;
    if (current == int(saoPaulo))
        return;
    setenv("TZ", saoPaulo ? "America/Sao_Paulo" : "UTC", 1);
    tzset();
    current = int(saoPaulo);
}

// A date bound as the stored date-times are written, so that text comparison orders them.
bool isStorageText(const QVariant& value) {
    static const QRegularExpression storage(
        QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}$"));
    return storage.match(value.toString()).hasMatch();
}

QDateTime momentFrom(FuzzedDataProvider& data) {
    if (data.ConsumeIntegralInRange<int>(0, 15) == 0)
        return {};
    const QDate date = QDate::fromJulianDay(data.ConsumeIntegralInRange<qint64>(
        QDate(1900, 1, 1).toJulianDay(), QDate(2100, 12, 31).toJulianDay()));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(
                               data.ConsumeIntegralInRange<int>(0, 24 * 3600 * 1000 - 1)));
}

struct Typing {
    QSet<QString> ticked;
    QHash<QString, QString> texts;
    bool contains = false;
    QDateTime start, end, now;

    lms::FilterInput input() const {
        lms::FilterInput in;
        in.ticked = [this](const QString& box) { return ticked.contains(box); };
        in.text = [this](const QString& field) { return texts.value(field); };
        in.containsMode = contains;
        in.rangeStart = start;
        in.rangeEnd = end;
        in.now = now;
        return in;
    }
};

// The values the statement must carry, in its order, worked out from the definition.
QVariantList expectedValues(const lms::QueryDefinition& definition, const Typing& typing) {
    QVariantList values;
    const bool contains = typing.contains && definition.hasMatchMode;
    for (const lms::Criterion& criterion : definition.criteria) {
        if (!typing.ticked.contains(criterion.checkBox))
            continue;
        switch (criterion.kind) {
        case lms::CriterionKind::Value: {
            const QString value =
                lms::FilterBuilder::criterionValue(typing.texts.value(criterion.valueField));
            values << (contains ? QStringLiteral("%") + value + QStringLiteral("%") : value);
            break;
        }
        case lms::CriterionKind::DateRange:
            values << lms::FilterBuilder::lowerBound(typing.start)
                   << lms::FilterBuilder::upperBound(typing.end);
            break;
        case lms::CriterionKind::BeforeToday:
            values << typing.now.date().toString(QStringLiteral("yyyy-MM-dd")) +
                          QStringLiteral(" 00:00:00.000");
            break;
        case lms::CriterionKind::OrderOnly:
            break;
        }
    }
    return values;
}

void checkRuns(const lms::Statement& statement, const QString& context) {
    // One whole statement: nothing may remain after what the engine takes as the first.
    const QByteArray sql = statement.sql.toUtf8();
    sqlite3_stmt* prepared = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(databases->memory, sql.constData(),
                                      static_cast<int>(sql.size()), &prepared, &tail);
    check(rc == SQLITE_OK && prepared, "the shop's database accepts the statement",
          context + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(databases->memory)));
    check(QByteArray(tail).trimmed().isEmpty(), "the statement is one statement", context);
    check(sqlite3_stmt_readonly(prepared) != 0, "the statement only reads", context);
    check(sqlite3_bind_parameter_count(prepared) == statement.params.size(),
          "the engine sees one placeholder per bound value", context);
    for (int i = 0; i < statement.params.size(); ++i) {
        const QByteArray value = statement.params[i].toString().toUtf8();
        sqlite3_bind_text(prepared, i + 1, value.constData(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    }
    int step = SQLITE_ROW;
    while (step == SQLITE_ROW)
        step = sqlite3_step(prepared);
    check(step == SQLITE_DONE, "the statement runs in memory", context);
    sqlite3_finalize(prepared);

    // And through the program's own binding, on the encrypted file.
    try {
        lms::Query query(databases->dm->db(), statement.sql);
        query.bindAll(statement.params);
        while (query.next()) {
        }
    } catch (const lms::DbError& error) {
        check(false, "the statement runs on the shop's file",
              context + QStringLiteral(": ") + QString::fromUtf8(error.what()));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    databases = new ShopDatabases;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    useZone(data.ConsumeBool());
    const lms::QueryDefinition& definition =
        screens()[data.ConsumeIntegralInRange<std::size_t>(0, screens().size() - 1)];
    Typing typing;
    typing.contains = data.ConsumeBool();
    typing.start = momentFrom(data);
    typing.end = momentFrom(data);
    typing.now = momentFrom(data);
    for (const lms::Criterion& criterion : definition.criteria) {
        if (data.ConsumeBool())
            typing.ticked.insert(criterion.checkBox);
        if (!criterion.valueField.isEmpty())
            typing.texts.insert(criterion.valueField, lms::fuzz::consumeText(data, 64));
    }

    const lms::Statement statement = lms::FilterBuilder::build(definition, typing.input());
    QString context = definition.screenName + QStringLiteral(": ") + statement.sql;
    for (const QString& typed : typing.texts)
        context += QStringLiteral("\n  typed ") + units(typed);

    // The text is the same whatever was typed.
    Typing blank = typing;
    for (QString& text : blank.texts)
        text.clear();
    const lms::Statement blankStatement = lms::FilterBuilder::build(definition, blank.input());
    check(statement.sql == blankStatement.sql, "the statement text does not depend on the values",
          context);
    for (auto it = typing.texts.cbegin(); it != typing.texts.cend(); ++it) {
        const QString value = lms::FilterBuilder::criterionValue(it.value());
        if (!value.isEmpty() && !blankStatement.sql.contains(value))
            check(!statement.sql.contains(value), "the statement never contains the typed text",
                  context);
    }

    check(statement.sql.count(QLatin1Char('?')) == statement.params.size(),
          "one placeholder per bound value", context);
    check(statement.params == expectedValues(definition, typing),
          "the bound values are the typed values, trimmed, in the criteria's order", context);
    // Every date bound is a whole storage text (the pickers and the clock always hold a date).
    if (typing.start.isValid() && typing.end.isValid() && typing.now.isValid()) {
        qsizetype index = 0;
        for (const lms::Criterion& criterion : definition.criteria) {
            if (!typing.ticked.contains(criterion.checkBox))
                continue;
            const int count = criterion.kind == lms::CriterionKind::Value         ? 1
                              : criterion.kind == lms::CriterionKind::DateRange   ? 2
                              : criterion.kind == lms::CriterionKind::BeforeToday ? 1
                                                                                  : 0;
            const bool dates = criterion.kind == lms::CriterionKind::DateRange ||
                               criterion.kind == lms::CriterionKind::BeforeToday;
            for (int i = 0; dates && i < count; ++i)
                check(isStorageText(statement.params.value(index + i)),
                      "a date bound is a whole storage text",
                      context + QStringLiteral("\n  bound ") +
                          statement.params.value(index + i).toString() + QStringLiteral(" now ") +
                          typing.now.toString(Qt::ISODate));
            index += count;
        }
    }
    checkRuns(statement, context);
    return 0;
}
