#include "support/HostileInput.h"

#include "core/GbkText.h"

#include <cmath>
#include <deque>
#include <gtest/gtest.h>
#include <iostream>
#include <sqlite3.h>
#include <string>

namespace lms::test {

namespace {

QString repeated(const QString& piece, int characters) {
    QString text;
    while (text.size() < characters)
        text += piece;
    return text.left(characters);
}

QString fromUtf16(std::initializer_list<char16_t> units) {
    QString text;
    for (char16_t unit : units)
        text += QChar(unit);
    return text;
}

} // namespace

const std::vector<HostileValue>& hostileValues() {
    static const std::vector<HostileValue> values = {
        {"O'Brien", QStringLiteral("O'Brien")},
        {"apostrophe", QStringLiteral("'")},
        {"or-true", QStringLiteral("' OR '1'='1")},
        {"drop-table", QStringLiteral("'; DROP TABLE 读者; --")},
        {"double-quote-or", QStringLiteral("\") OR 1=1 --")},
        {"percent", QStringLiteral("%")},
        {"underscore", QStringLiteral("_")},
        {"long-ascii", repeated(QStringLiteral("O'Brien%_ "), 10000), true},
        {"long-chinese", QString(10000, QChar(0x8BFB)), true},
        {"nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b")},
        {"tab", QStringLiteral("a\tb")},
        {"cr-lf", QStringLiteral("line1\r\nline2")},
        {"escape", QStringLiteral("\x1b[31mred")},
        {"emoji", QStringLiteral("📚读👍🏽")},
        {"emoji-run", QStringLiteral("A") + repeated(QStringLiteral("📚"), 80)},
        {"blanks-only", QStringLiteral("   ")},
        {"padded", QStringLiteral("  padded  ")},
        {"lone-high-surrogate", QStringLiteral("a") + fromUtf16({0xD83D}) + QStringLiteral("b")},
        {"lone-low-surrogate", fromUtf16({0xDC00}) + QStringLiteral("z")},
        {"1e400", QStringLiteral("1e400")},
        {"-0", QStringLiteral("-0")},
        {"NaN", QStringLiteral("NaN")},
        {"inf", QStringLiteral("inf")},
        {"1e39", QStringLiteral("1e39")},
        {"0x10", QStringLiteral("0x10")},
        {"full-width-12", QStringLiteral("１２")},
        {"-1", QStringLiteral("-1")},
        {"99999999999", QStringLiteral("99999999999")},
    };
    return values;
}

const std::vector<HostileValue>& generatedHostileValues() {
    static std::deque<std::string> labels;
    static const std::vector<HostileValue> values = [] {
        std::vector<std::pair<std::string, QString>> bases;
        for (char16_t c = 1; c < 0xA0; ++c)
            if (c < 0x20 || c >= 0x7F)
                bases.emplace_back("U+" + QString::number(c, 16).toStdString(), QChar(c));
        const std::pair<const char*, char16_t> invisible[] = {
            {"nbsp", 0x00A0},         {"soft-hyphen", 0x00AD}, {"zwsp", 0x200B},
            {"zwj", 0x200D},          {"lrm", 0x200E},         {"rlo", 0x202E},
            {"line-sep", 0x2028},     {"para-sep", 0x2029},    {"ideographic-space", 0x3000},
            {"bom", 0xFEFF},          {"replacement", 0xFFFD}, {"combining-acute", 0x0301},
            {"fullwidth-eq", 0xFF1D},
        };
        for (const auto& [label, c] : invisible)
            bases.emplace_back(label, QChar(c));
        const std::pair<const char*, const char*> texts[] = {
            {"formula", "=1+2"},
            {"plus", "+1"},
            {"minus-formula", "-1+2"},
            {"at", "@SUM(A1)"},
            {"tab-formula", "\t=1"},
            {"cr-formula", "\r=1"},
            {"apostrophe-formula", "'=1"},
            {"apostrophes-minus", "''-1"},
            {"hyperlink", "=HYPERLINK(\"http://x\",\"点\")"},
            {"dde", "-2+3+cmd|' /C calc'!A0"},
            {"negative", "-12.50"},
            {"phone", "+86 138"},
            {"quote", "\""},
            {"quotes", "\"\""},
            {"comma", "a,b"},
            {"inner-quote", "a\"b"},
            {"lone-comma", ","},
            {"crlf", "\r\n"},
            {"two-lf", "\n\n"},
            {"quoted-break", "\"a\nb\""},
        };
        for (const auto& [label, text] : texts)
            bases.emplace_back(label, QString::fromUtf8(text));
        for (const HostileValue& value : hostileValues())
            if (!value.isLong && !value.text.contains(QChar(0)))
                bases.emplace_back(value.label, value.text);

        const QString good = QStringLiteral("书");
        std::vector<HostileValue> all;
        for (const auto& [label, text] : bases) {
            const std::pair<const char*, QString> forms[] = {
                {"", text},
                {"after-", good + text},
                {"before-", text + good},
                {"inside-", good + text + QStringLiteral("名")},
            };
            for (const auto& [form, formed] : forms) {
                labels.push_back(form + label);
                all.push_back({labels.back().c_str(), formed});
            }
        }
        return all;
    }();
    return values;
}

std::vector<HostileValue> shortHostileValues() {
    std::vector<HostileValue> values;
    for (const HostileValue& value : hostileValues())
        if (!value.isLong)
            values.push_back(value);
    return values;
}

QString storedForm(const QString& typed) {
    return QString::fromUtf8(Field::typeable(typed).toUtf8());
}

QString trimmedAsScreens(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QStringList typedTextFields(const FormModel& screen) {
    QStringList names;
    for (const Field* field : screen.fields()) {
        switch (field->kind()) {
        case FieldKind::Text:
        case FieldKind::Password:
        case FieldKind::Memo:
        case FieldKind::EditList:
            names << field->name();
            break;
        default:
            break;
        }
    }
    return names;
}

QString expectedStored(const QString& typed, StoredForm form) {
    switch (form) {
    case StoredForm::AsTyped:
        return typed;
    case StoredForm::Trimmed:
        return trimmedAsScreens(typed);
    case StoredForm::LinesJoined: {
        QString joined = typed;
        joined.remove(QLatin1Char('\r'));
        joined.remove(QLatin1Char('\n'));
        return joined;
    }
    }
    return typed;
}

bool Attempt::errorShown() const {
    for (const ScriptedPrompter::Box& box : boxes)
        if (box.icon == Prompter::Icon::Error ||
            (box.icon == Prompter::Icon::Warning && box.buttons == Prompter::Buttons::Ok))
            return true;
    return false;
}

bool Attempt::refused(const QStringList& loggedOnRefusal) const {
    return errorShown() || before.without(loggedOnRefusal) == after.without(loggedOnRefusal);
}

std::string Attempt::where() const {
    QStringList shown;
    for (const ScriptedPrompter::Box& box : boxes)
        shown << box.text;
    return (screen + QLatin1Char('.') + field + QStringLiteral(" <- ") +
            QString::fromLatin1(label) + QStringLiteral(" (boxes: ") +
            shown.join(QStringLiteral(" | ")) + QLatin1Char(')'))
        .toStdString();
}

std::vector<DatabaseDump::Row> changedRows(const DatabaseDump& before, const DatabaseDump& after,
                                           const QString& table) {
    std::vector<DatabaseDump::Row> rows;
    const DatabaseDump::Table* old = before.table(table);
    const DatabaseDump::Table* now = after.table(table);
    if (!now)
        return rows;
    for (qsizetype r = 0; r < now->rows.size(); ++r)
        if (!old || r >= old->rows.size() || !(old->rows[r] == now->rows[r]))
            rows.push_back(now->rows[r]);
    return rows;
}

std::optional<QByteArray> cellBytes(const DatabaseDump& dump, const QString& table,
                                    const DatabaseDump::Row& row, const QString& column) {
    const DatabaseDump::Table* t = dump.table(table);
    if (!t)
        return std::nullopt;
    const qsizetype c = t->columns.indexOf(column);
    if (c < 0 || c >= row.size())
        return std::nullopt;
    return row[c].bytes;
}

Attempt HostileRunner::attempt(FormModel& screen, const QString& field, const HostileValue& value,
                               const Steps& steps, const std::optional<StoredColumn>& stored,
                               const QStringList& loggedOnRefusal) {
    return attempt(
        screen.objectName().isEmpty() ? screen.caption() : screen.objectName(), field, value,
        [&] {
            screen.field(field).type(value.text);
            return screen.field(field).text();
        },
        steps, stored, loggedOnRefusal);
}

Attempt HostileRunner::attempt(const QString& screen, const QString& field,
                               const HostileValue& value, const std::function<QString()>& enter,
                               const Steps& steps, const std::optional<StoredColumn>& stored,
                               const QStringList& loggedOnRefusal) {
    ++tried_;
    Attempt a;
    a.screen = screen;
    a.field = field;
    a.label = value.label;
    const DatabaseDump untouched = dumpDatabase(db_);
    {
        // Never committed: whatever the attempt wrote goes with it.
        Transaction scratch(db_);
        for (int i = 0; i < 6; ++i)
            prompter_.answer(true);
        try {
            if (steps.prepare)
                steps.prepare();
            a.before = dumpDatabase(db_);
            prompter_.clear();
            a.typed = enter();
            if (steps.press)
                steps.press();
        } catch (const std::exception& e) {
            a.escaped = true;
            ADD_FAILURE() << a.where() << ": exception escaped: " << e.what();
        } catch (...) {
            a.escaped = true;
            ADD_FAILURE() << a.where() << ": exception escaped";
        }
        a.boxes = prompter_.boxes();
        a.after = dumpDatabase(db_);
        if (!a.escaped) {
            if (a.refused(loggedOnRefusal)) {
                EXPECT_EQ(a.before.without(loggedOnRefusal), a.after.without(loggedOnRefusal))
                    << a.where() << ": refused, but rows changed:\n"
                    << describeDifference(a.before, a.after).toStdString();
            } else {
                ++accepted_;
                if (stored) {
                    const QByteArray expected = expectedStored(a.typed, stored->form).toUtf8();
                    // Blanks around may also go as Qt counts blanks (tabs, line breaks, the
                    // ideographic space) but control characters then stay.
                    const QByteArray alsoTrimmed =
                        stored->form == StoredForm::Trimmed ? a.typed.trimmed().toUtf8() : expected;
                    const auto rows = changedRows(a.before, a.after, stored->table);
                    EXPECT_FALSE(rows.empty())
                        << a.where() << ": accepted, but no row of " << stored->table.toStdString()
                        << " was written:\n"
                        << describeDifference(a.before, a.after).toStdString();
                    for (const DatabaseDump::Row& row : rows) {
                        const auto cell = cellBytes(a.after, stored->table, row, stored->column);
                        if (!cell) {
                            ADD_FAILURE() << "no column " << stored->column.toStdString();
                            continue;
                        }
                        EXPECT_TRUE(*cell == expected || *cell == alsoTrimmed)
                            << a.where() << ": " << stored->table.toStdString() << "."
                            << stored->column.toStdString() << " holds "
                            << describeCell({SQLITE_TEXT, *cell}).toStdString() << ", typed "
                            << describeCell({SQLITE_TEXT, expected}).toStdString();
                    }
                }
            }
            for (const DatabaseDump::Table& table : a.after.tables)
                for (const DatabaseDump::Row& row : changedRows(a.before, a.after, table.name))
                    for (const DatabaseDump::Cell& cell : row)
                        EXPECT_FALSE(cell.type == SQLITE_FLOAT &&
                                     !std::isfinite(cell.bytes.toDouble()))
                            << a.where() << ": " << table.name.toStdString()
                            << " holds a number that is none: " << cell.bytes.toStdString();
            if (steps.inspect)
                steps.inspect(a);
        }
    }
    const DatabaseDump rolledBack = dumpDatabase(db_);
    EXPECT_EQ(rolledBack, untouched) << a.where() << ": the attempt was not undone:\n"
                                     << describeDifference(untouched, rolledBack).toStdString();
    return a;
}

namespace {

int gridColumn(QueryScreen& screen, const QString& caption) {
    for (int c = 0; c < screen.results().columnCount(); ++c)
        if (screen.results().headerData(c, Qt::Horizontal).toString() == caption)
            return c;
    return -1;
}

QByteArray asciiLower(QByteArray bytes) {
    for (char& ch : bytes)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return bytes;
}

// Runs the screen with only this criterion ticked.
void listWith(QueryScreen& screen, const QString& checkBox, const QString& valueField,
              const QString& value, int mode) {
    screen.FormShow();
    if (screen.hasField(QStringLiteral("RadioGroup1")))
        screen.field(QStringLiteral("RadioGroup1")).setValue(mode);
    screen.field(checkBox).setValue(true);
    screen.field(valueField).setValue(value);
    screen.Button2Click();
}

} // namespace

void passOverTextFields(HostileRunner& runner, FormModel& screen, const HostileRunner::Steps& steps,
                        const QHash<QString, StoredColumn>& stored, const QStringList& longOn,
                        const AcceptedCheck& accepted) {
    const QStringList fields = typedTextFields(screen);
    ASSERT_FALSE(fields.isEmpty());
    for (const QString& field : fields) {
        for (const HostileValue& value : hostileValues()) {
            if (value.isLong && !longOn.contains(field))
                continue;
            std::optional<StoredColumn> column;
            if (stored.contains(field))
                column = stored.value(field);
            HostileRunner::Steps checked = steps;
            if (accepted) {
                checked.inspect = [&, column](const Attempt& a) {
                    if (steps.inspect)
                        steps.inspect(a);
                    if (column && !a.refused({}))
                        accepted(a, *column);
                };
            }
            runner.attempt(screen, field, value, checked, column);
        }
    }
}

void passOverTextFields(HostileRunner& runner, FormModel& screen, const HostileRunner::Steps& steps,
                        const QHash<QString, StoredColumn>& stored, const QStringList& longOn,
                        QueryScreen& listing, const QHash<QString, ListedCriterion>& criteria,
                        Database& db) {
    passOverTextFields(runner, screen, steps, stored, longOn,
                       [&](const Attempt& a, const StoredColumn& column) {
                           if (criteria.contains(column.column))
                               expectListing(listing, criteria.value(column.column),
                                             expectedStored(a.typed, column.form), db, a.where());
                       });
}

void expectListing(QueryScreen& screen, const ListedCriterion& criterion, const QString& value,
                   Database& db, const std::string& where) {
    const DatabaseDump dump = dumpDatabase(db);
    const DatabaseDump::Table* table = dump.table(criterion.table);
    ASSERT_NE(table, nullptr) << criterion.table.toStdString();
    const qsizetype column = table->columns.indexOf(criterion.column);
    ASSERT_GE(column, 0) << criterion.column.toStdString();
    const QByteArray wanted = trimmedAsScreens(value).toUtf8();
    const std::string context = where + " listed by " + screen.objectName().toStdString() + "." +
                                criterion.valueField.toStdString();

    // Exact: the rows holding the value and no others; "%" and "_" are plain characters here.
    listWith(screen, criterion.checkBox, criterion.valueField, value, 0);
    // An empty listing has no header either.
    const int shown = gridColumn(screen, criterion.gridCaption);
    if (screen.results().rowCount() > 0) {
        ASSERT_GE(shown, 0) << criterion.gridCaption.toStdString();
    }
    qsizetype equal = 0;
    for (const DatabaseDump::Row& row : table->rows)
        equal += row[column].type == SQLITE_TEXT && row[column].bytes == wanted ? 1 : 0;
    EXPECT_EQ(screen.results().rowCount(), equal) << context << " (exact)";
    for (int r = 0; r < screen.results().rowCount(); ++r)
        EXPECT_EQ(screen.results().cellText(r, shown).toUtf8(), wanted) << context << " (exact)";

    // Contains: at least the rows holding the value anywhere; exactly those when the value holds
    // no wildcard and nothing that ends the pattern early.
    if (!screen.hasField(QStringLiteral("RadioGroup1")))
        return;
    listWith(screen, criterion.checkBox, criterion.valueField, value, 1);
    const int shownContaining = gridColumn(screen, criterion.gridCaption);
    if (screen.results().rowCount() > 0) {
        ASSERT_GE(shownContaining, 0) << criterion.gridCaption.toStdString();
    }
    qsizetype containing = 0;
    for (const DatabaseDump::Row& row : table->rows)
        containing += row[column].type == SQLITE_TEXT &&
                              asciiLower(row[column].bytes).contains(asciiLower(wanted))
                          ? 1
                          : 0;
    const bool plain = !wanted.contains('%') && !wanted.contains('_') && !wanted.contains('\0');
    if (plain)
        EXPECT_EQ(screen.results().rowCount(), containing) << context << " (contains)";
    else
        EXPECT_GE(screen.results().rowCount(), containing) << context << " (contains)";
    for (int r = 0; plain && r < screen.results().rowCount(); ++r)
        EXPECT_TRUE(asciiLower(screen.results().cellText(r, shownContaining).toUtf8())
                        .contains(asciiLower(wanted)))
            << context << " (contains)";
}

void reportInputsTried(const char* pass, int count) {
    ::testing::Test::RecordProperty(std::string("hostile_inputs_") + pass, count);
    std::cout << "[ hostile  ] " << pass << ": " << count << " inputs tried" << std::endl;
}

} // namespace lms::test
