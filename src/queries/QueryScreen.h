#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "core/form/Printout.h"
#include "queries/FilterBuilder.h"
#include "queries/ListingExport.h"
#include "queries/QueryDefinition.h"
#include "queries/ResultTable.h"

#include <array>
#include <functional>

namespace lms {

class Database;
class Query;

// What the six query screens share: criteria with their check boxes, the match mode, "查询",
// "导出", "打印" and "关闭", the result grid and the totals; a screen is its definition plus its
// own FormShow.
class QueryScreen : public FormModel {
    Q_OBJECT
public:
    QueryScreen(const QueryDefinition& definition, ScreenContext& context,
                QObject* parent = nullptr);

    const QueryDefinition& definition() const { return definition_; }
    ResultTable& results() { return results_; }

    // "查询": builds the statement from the ticked criteria, lists the rows, writes the totals.
    // The first screenful shows at once; the rest arrives in slices while the window stays
    // live: "关闭" or closing the window ends the listing, "查询" starts it again with the
    // criteria as they are then. Until the listing is complete the status line counts the rows
    // come so far, the totals say they are being counted, and "导出" and "打印" rest.
    void Button2Click();
    void Button1Click() { close(Result::Accepted); }
    // "导出": the listed rows, with the header and any totals, to a CSV file the clerk names.
    void Button3Click();
    // "打印": the listing with its caption, criteria, date and totals in the print preview.
    void Button4Click();

    // The statement the current criteria give (for tests and the run itself).
    virtual Statement statement() const;

    // Listings longer than this are exported, not printed.
    static constexpr int kPrintLimit = 5000;
    // Rows listed before the window first shows them: more than a screen holds.
    static constexpr int kFirstRows = 100;
    // How long the listing reads between two chances for the window to repaint.
    static constexpr int kSliceMs = 80;

protected:
    // Every FormShow starts by unticking the criteria and emptying the value fields it names.
    void untickAll();
    void empty(const QStringList& fields);
    // Fills a drop-down with names a store reads; a failure shows the database message.
    void fillList(const QString& field, const std::function<QStringList(Database&)>& names);
    void setRangeToNow();
    void setRangeToToday();
    // A button of the screen's own that acts on the listing: it rests as "导出" and "打印" do.
    Field& addOutputButton(const QString& name, const QString& caption);
    // The rows such a button acts on: the one the clerk chose in the grid, else every row listed;
    // none while the listing is not whole.
    std::vector<int> chosenRows() const;
    // The row selected in the grid of a whole listing; -1 for none.
    int selectedRow() const;
    // The text of a listed row's cell in the column of this heading.
    QString cellOf(int row, const QString& heading) const;
    // The criteria of a run in words, printed with its listing.
    virtual QString criteriaInWords() const;
    // Lists by another definition from the next run on: a screen that offers several listings
    // of the same criteria (their criteria must be the same).
    void useDefinition(const QueryDefinition& definition);

    // What the status line, the totals and the output buttons say of the rows on the screen.
    enum class Arrival {
        Arriving,  // rows are still coming: their count so far, no totals yet
        Complete,  // every row is listed: the count and the totals
        NoneFound, // nothing matched: the totals stay as they were
        Broken,    // a failure or a new run ended it part way: the rows so far, no totals
        Dropped,   // the window closed part way: no rows, no totals
        Closed,    // the window closed after the listing: no rows; the totals stay
    };
    // Told after the status line and totals have been written; a screen adds what it shows
    // beside them.
    virtual void arrived(Arrival) {}
    // The lines printed after the listing: the totals.
    virtual std::vector<PrintoutLine> totalLines() const;

    ScreenContext& ctx_;

private:
    FilterInput filterInput() const;
    // One run of "查询"; it ends early when the window closes or "查询" is pressed meanwhile.
    void list();
    // Appends every row, in slices; false when the listing was ended before its last row.
    bool appendAll(Query& query, const std::vector<int>& sources);
    void correctReversedRange();
    bool hasRange() const;
    void writeTotals();
    void showArrival(Arrival arrival);
    void showTotals(const QString& text);
    // "导出" and "打印" act only on a whole listing, never while a file is written.
    void restOutputs();
    ListingExport::Listing listing() const;
    // The result column a total sums: the first that reads its column, never a balance.
    int totalColumn(const QString& column) const;
    // While a file is written the buttons rest and the progress bar shows.
    void setBusy(bool busy, int rows);

    QueryDefinition definition_;
    ResultTable results_;
    QString criteriaShown_;      // the criteria of the listing on the screen, in words
    bool totalsCurrent_ = false; // the totals belong to the rows listed
    bool whole_ = true;          // the rows listed are all their run found
    bool busy_ = false;
    bool listing_ = false;   // rows are still arriving
    bool relist_ = false;    // "查询" was pressed while they were
    bool closing_ = false;   // the screen closed while they were
    bool rowChosen_ = false; // the clerk chose a row since the listing ended

    // The fields every screen has besides its criteria and totals (null where it has none).
    Field* matchMode_ = nullptr;  // RadioGroup1: exact or contains
    Field* rangeStart_ = nullptr; // DateTimePicker1, of a date-range criterion
    Field* rangeEnd_ = nullptr;   // DateTimePicker2
    Field* grid_ = nullptr;       // StringGrid1: the listed rows
    Field* progress_ = nullptr;   // ProgressBar1: rows written while exporting
    Field* status_ = nullptr;     // ListingStatus: how many rows are listed, or still coming
    std::array<Field*, 4> buttons_{}; // 查询, 导出, 打印, 关闭: they rest while a file is written
    std::vector<Field*> ownOutputs_; // the screen's own buttons that rest with 导出 and 打印
};

} // namespace lms
