#pragma once

#include "core/form/Field.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace lms {

// How a criterion of a query screen takes part in the statement.
enum class CriterionKind {
    Value,       // a value field; equal in exact mode, contains in contains mode
    DateRange,   // the two date pickers, both bounds inclusive
    BeforeToday, // the column lies before today's midnight
    OrderOnly,   // changes only the order clause
};

// One criterion: its check box, its value field and the statement pieces it appends.
struct Criterion {
    CriterionKind kind{};
    QString checkBox{};   // "CheckBox1"; empty for a criterion that always takes part
    QString caption{};    // the check box's caption
    QString valueField{}; // "Edit1", "ComboBox1"; empty for none
    // Text for a typed value, EditList for stored names that may also be typed, List for fixed
    // items only.
    FieldKind valueKind = FieldKind::Text;
    QString exactFragment{}; // followed by the bound value; the lower bound for a range
    QString containsFragment{};
    QString upperFragment{};  // a range's upper bound
    QStringList fixedItems{}; // a drop-down that offers only these (the first chosen initially)
};

// How a result column shows its value.
enum class CellFormat {
    RowNumber,   // 1, 2, 3 …
    Text,        // text as stored
    TextAmount,  // an amount kept as the clerk typed it (a book's price), shown as stored
    Number,      // a number in the general form; empty when there is none
    DateText,    // short date, and the long time unless it is midnight
    LongDate,    // the long date of a date-time, no time
    Money,       // two decimals
    OverdueDays, // whole days from the due date to now, 0 when not overdue
    Balance,     // the running sum of the column read, in whole cents of its cells as shown
    // As the return screen counts a loan's lateness and fine: whole calendar days from the due
    // date to now (never below 0), and that many days at the fine per day of the listing.
    DaysLate,
    LateFine,
    DaysLeft, // whole calendar days from now to the date, negative once it has passed
};

// A column whose cells are numbers the listing gives (counts, amounts, days): set right in the
// grid and on paper.
inline bool showsNumber(CellFormat format) {
    switch (format) {
    case CellFormat::RowNumber:
    case CellFormat::Number:
    case CellFormat::Money:
    case CellFormat::OverdueDays:
    case CellFormat::DaysLate:
    case CellFormat::LateFine:
    case CellFormat::DaysLeft:
    case CellFormat::Balance:
        return true;
    case CellFormat::Text:
    case CellFormat::TextAmount:
    case CellFormat::DateText:
    case CellFormat::LongDate:
        break;
    }
    return false;
}

struct ResultColumn {
    QString caption{};
    QString column{}; // the table column read; empty for the row number
    CellFormat format{};
};

// A totals field and the result column it sums.
struct TotalField {
    QString field{};   // "Edit5"
    QString caption{}; // "押金总数："
    QString column{};
};

// Everything that makes one query screen different from the others.
struct QueryDefinition {
    QString screenName; // "frm_QallBook"
    QString caption;
    QString table;
    bool hasMatchMode = true;
    std::vector<Criterion> criteria;
    QString exactOrder;    // order clause in exact mode
    QString containsOrder; // order clause in contains mode
    QString orderCheckBox; // a check box that switches the order clause on, if any
    QString noRowsMessage;
    std::vector<ResultColumn> columns;
    enum class Totals { None, SumAsGeneral, SumAsMoney } totals = Totals::None;
    QString totalsGroupCaption;
    std::vector<TotalField> totalFields;
};

} // namespace lms
