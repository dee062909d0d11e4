#pragma once

// What the hostile-input passes of every subsystem share: the values a careless or malicious
// clerk may type, the typed-text fields of a screen, and one attempt of a screen operation with
// a value, rolled back afterwards so the next attempt starts from the same rows.

#include "core/Database.h"
#include "core/form/FormModel.h"
#include "queries/QueryScreen.h"
#include "support/DatabaseDump.h"
#include "support/TestDoubles.h"

#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace lms::test {

struct HostileValue {
    const char* label;
    QString text;
    bool isLong = false; // 10,000 characters: tried on a few fields only
};

// Apostrophes, SQL fragments, wildcards, long texts, control characters, emoji, blanks, broken
// UTF-16 and numbers that are not what they seem.
const std::vector<HostileValue>& hostileValues();
// The same without the long texts.
std::vector<HostileValue> shortHostileValues();

// Many more: every control character but U+0000, invisible and direction characters, texts a
// spreadsheet would run as a formula, pieces of CSV and the short values above, each alone and
// before, after and inside a good text ("书…", "…书", "书…名"). None holds U+0000, so that a
// file of them is text.
const std::vector<HostileValue>& generatedHostileValues();

// A typed value as the program can hold it in a row: without U+0000, which no field takes, and
// broken UTF-16 as UTF-8 keeps it. Rows planted with hostile texts use this form.
QString storedForm(const QString& typed);

// Leading and trailing characters up to the blank removed, as the screens trim.
QString trimmedAsScreens(const QString& text);

// Fields a clerk types text into: one-line, masked, multi-line and editable drop-downs.
QStringList typedTextFields(const FormModel& screen);

// How an accepted field's text is found in its column.
enum class StoredForm {
    AsTyped,     // byte for byte as the field held it
    Trimmed,     // without leading and trailing blanks and control characters
    LinesJoined, // a remark: its lines joined with nothing between them
};

struct StoredColumn {
    QString table;
    QString column;
    StoredForm form = StoredForm::AsTyped;
};

// The text a column must hold after the field's text was accepted.
QString expectedStored(const QString& typed, StoredForm form);

// One attempt: the rows before and after, and the boxes shown.
struct Attempt {
    QString screen;
    QString field;
    const char* label = "";
    QString typed; // the field's text after typing (cut at its byte limit)
    DatabaseDump before;
    DatabaseDump after;
    std::vector<ScriptedPrompter::Box> boxes;
    bool escaped = false;

    bool errorShown() const;
    // The operation was refused: an error or warning box, or nothing written.
    bool refused(const QStringList& loggedOnRefusal) const;
    std::string where() const;
};

// Runs attempts on one database; each attempt is rolled back when it is done.
class HostileRunner {
public:
    HostileRunner(Database& db, ScriptedPrompter& prompter) : db_(db), prompter_(prompter) {}

    struct Steps {
        std::function<void()> prepare; // bring the screen to where it stores (may write rows)
        std::function<void()> press;   // the storing or searching operations
        // Checks that need the attempt's rows (listings); runs before the rollback.
        std::function<void(const Attempt&)> inspect;
    };

    // Types `value` into `field` of `screen` between prepare and press, then checks: nothing
    // escaped; a refusal left the rows as they were (but for `loggedOnRefusal`); an acceptance
    // stored the text in `stored` (when given) as the field held it.
    Attempt attempt(FormModel& screen, const QString& field, const HostileValue& value,
                    const Steps& steps, const std::optional<StoredColumn>& stored,
                    const QStringList& loggedOnRefusal = {});
    // The same for a value that reaches the program otherwise (a cell of a file): `enter` puts
    // it where the operation takes it from and returns the text as the program will hold it.
    Attempt attempt(const QString& screen, const QString& field, const HostileValue& value,
                    const std::function<QString()>& enter, const Steps& steps,
                    const std::optional<StoredColumn>& stored,
                    const QStringList& loggedOnRefusal = {});

    int tried() const { return tried_; }
    int accepted() const { return accepted_; }

private:
    Database& db_;
    ScriptedPrompter& prompter_;
    int tried_ = 0;
    int accepted_ = 0;
};

// The rows of `table` that are new or changed in `after`, compared with `before` by rowid order.
std::vector<DatabaseDump::Row> changedRows(const DatabaseDump& before, const DatabaseDump& after,
                                           const QString& table);
// A cell's text by column name, or nothing when the table has no such column.
std::optional<QByteArray> cellBytes(const DatabaseDump& dump, const QString& table,
                                    const DatabaseDump::Row& row, const QString& column);

// A text criterion of a query screen and where its value is found.
struct ListedCriterion {
    QString checkBox;    // "CheckBox2"
    QString valueField;  // "Edit1"
    QString gridCaption; // the result column showing the criterion's column
    QString table;
    QString column;
};

// Lists the screen's table with only this criterion ticked and checks, against the rows of the
// database: in exact mode exactly the rows whose column holds the value (trimmed as the screens
// trim), in contains mode at least every row whose column contains it.
void expectListing(QueryScreen& screen, const ListedCriterion& criterion, const QString& value,
                   Database& db, const std::string& where);

// Checks an accepted value of a field stored in the given column.
using AcceptedCheck = std::function<void(const Attempt&, const StoredColumn&)>;

// Types every hostile value into every typed-text field of the screen (the long values only
// into the fields of `longOn`) and runs the steps, then `accepted` for each stored value taken.
void passOverTextFields(HostileRunner& runner, FormModel& screen, const HostileRunner::Steps& steps,
                        const QHash<QString, StoredColumn>& stored, const QStringList& longOn,
                        const AcceptedCheck& accepted = {});
// The same, where a stored column that is also a criterion of the listing screen must list
// exactly the rows holding an accepted value.
void passOverTextFields(HostileRunner& runner, FormModel& screen, const HostileRunner::Steps& steps,
                        const QHash<QString, StoredColumn>& stored, const QStringList& longOn,
                        QueryScreen& listing, const QHash<QString, ListedCriterion>& criteria,
                        Database& db);

// Prints the number of inputs tried once, for the record of the run.
void reportInputsTried(const char* pass, int count);

} // namespace lms::test
