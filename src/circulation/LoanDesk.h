#pragma once

#include "books/BookRecord.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderLookup.h"

#include <QDateTime>
#include <optional>

namespace lms {

// What the lending and the returning screens share: the read-only reader and book panels with
// their editable remarks, the ids of the last accepted lookups and the keyboard road through
// them (an id and Enter, then the next field).
class LoanDesk : public FormModel {
    Q_OBJECT
public:
    // Resets the reader panel; the counters and limits keep their last values.
    void iniTZ();
    // Resets the book panel; the returning screen also resets the loan's dates and charges.
    virtual void iniTs();

    virtual void CheckisHaveReaderClick() = 0;
    virtual void CheckisHavebookClick() = 0;

    // Puts an id into a panel's id field as the program does: a full id looks itself up, and
    // no Enter is owed to it.
    void putId(const QString& idField, const QString& id);

    const QString& currentReaderId() const { return currentReaderId_; }
    const QString& currentBookId() const { return currentBookId_; }
    bool readerOk() const { return readerOk_; }
    bool bookOk() const { return bookOk_; }

protected:
    LoanDesk(const QString& name, const QString& caption, const ScreenContext& ctx,
             QObject* parent);

    void addReaderPanel();
    void addBookPanel();
    // Enter on a button presses it, so a loan or return needs no mouse.
    void pressOnEnter(const QString& button);

    // Shows a looked-up reader with the validity of the idle-time extension (now for a
    // pay-per-day reader, whose validity group is hidden).
    void showReaderRow(const Readers::ReaderRecord& reader, const QDateTime& now);
    // Puts an id into the reader field without the lookup a full id starts.
    void setReaderIdQuietly(const QString& id);
    // After a committed loan or return: the reader as stored now, for the panel. The operation
    // stands even when the reader cannot be read back; the panel is then cleared (no reader
    // accepted) rather than reporting a failure that would read as a failed operation.
    std::optional<Readers::ReaderRecord> readerAsStored();
    // Whether the reader's state forbids lending and returning.
    bool stateForbids() const;
    // The remark of a panel as it is stored: its lines joined into one.
    QString storedRemark(const QString& memo) const;

    ScreenContext ctx_;
    // The panels' fields, for showing a looked-up reader and book.
    Readers::ReaderPanel readerPanel_;
    Books::BookPanel bookPanel_;
    QString currentReaderId_;
    QString currentBookId_;
    bool readerOk_ = false;
    bool bookOk_ = false;

private:
    bool settingId_ = false;
    // An id completed by its own length has been looked up; the Enter a scanner sends after it
    // belongs to that id and presses no button the lookup moved the focus to.
    bool scanEnterPending_ = false;
};

} // namespace lms
