#pragma once

#include "books/BookDomains.h"
#include "books/BookRecord.h"
#include "circulation/LoanStore.h"
#include "circulation/ReceiptSlip.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderLookup.h"

#include <QDateTime>
#include <functional>
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
    void putId(Field& idField, const QString& id);

    const QString& currentReaderId() const { return currentReaderId_; }
    const QString& currentBookId() const { return currentBookId_; }
    bool readerOk() const { return readerOk_; }
    bool bookOk() const { return bookOk_; }

    ReceiptSlip& receipt() { return receipt_; }

    // The reader side, named as its widgets. The id with its "<<" and the remark are edited;
    // the rest sits in groups that are always disabled and only shows the looked-up reader.
    Field& tzID = // the reader's id; a full id looks itself up
        addField(QStringLiteral("tzID"), FieldKind::Text, QStringLiteral("读者编号："))
            .setMaxBytes(20);
    Field& CheckisHaveReader = // "<<": looks up a shorter reader id
        addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    Field& GroupBox1 = // the reader's data, display only
        addField(QStringLiteral("GroupBox1"), FieldKind::Group, QStringLiteral("读者信息浏览："))
            .setEnabled(false);
    Field& tzxm = // name
        addField(QStringLiteral("tzxm"), FieldKind::Text, QStringLiteral("读者姓名："));
    Field& xp = // sex
        addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
            .setItems(Readers::sexes());
    Field& tzrx = // reader type: monthly, quarterly, yearly or pay per day
        addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："))
            .setItems(Readers::types())
            .setItemIndex(0);
    Field& df = // phone
        addField(QStringLiteral("df"), FieldKind::Text, QStringLiteral("联系电话："));
    Field& zjhm = // identity document number
        addField(QStringLiteral("zjhm"), FieldKind::Text, QStringLiteral("证件号码："));
    Field& khrq = // when the account was opened
        addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："));
    Field& tssn = // the most books the reader may hold
        addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
            .setUnbounded();
    Field& tssj = // the reader's loan period in days
        addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
            .setUnbounded();
    Field& jyzj = // loans ever made
        addField(QStringLiteral("jyzj"), FieldKind::Spin, QStringLiteral("租借总计(本次)："))
            .setUnbounded();
    Field& whsn = // books out now
        addField(QStringLiteral("whsn"), FieldKind::Spin, QStringLiteral("未还图书数量(本)："))
            .setUnbounded();
    Field& yj = // the deposit left, in yuan
        addField(QStringLiteral("yj"), FieldKind::Text, QStringLiteral("押金剩余(元)："));
    Field& GroupBox6 = // the validity, hidden for a pay-per-day reader
        addField(QStringLiteral("GroupBox6"), FieldKind::Group);
    Field& yxq = // the rental validity, idle-time extension included
        addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    Field& tzzt = // the reader's state
        addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("读者状态："))
            .setItems(Readers::states())
            .setItemIndex(0);
    Field& tzztszq = // when the state was last set
        addField(QStringLiteral("tzztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    Field& GroupBox4 = // around the reader's remark
        addField(QStringLiteral("GroupBox4"), FieldKind::Group, QStringLiteral("读者备注："));
    Field& tzbz = // the reader's remark, editable, stored with the loan or return
        addField(QStringLiteral("tzbz"), FieldKind::Memo).setMaxBytes(Readers::kRemarkBytes);

    // The book side, likewise.
    Field& tsID = // the book's id; a full id looks itself up
        addField(QStringLiteral("tsID"), FieldKind::Text, QStringLiteral("图书编号："))
            .setMaxBytes(20);
    Field& CheckisHavebook = // "<<": looks up a shorter book id
        addField(QStringLiteral("CheckisHavebook"), FieldKind::Button, QStringLiteral("<<"));
    Field& GroupBox2 = // the book's data, display only
        addField(QStringLiteral("GroupBox2"), FieldKind::Group, QStringLiteral("图书信息浏览："))
            .setEnabled(false);
    Field& tsmz = // title
        addField(QStringLiteral("tsmz"), FieldKind::Text, QStringLiteral("图书名称："));
    Field& tsrx = // book type
        addField(QStringLiteral("tsrx"), FieldKind::Text, QStringLiteral("图书类型："));
    Field& tszz = // author
        addField(QStringLiteral("tszz"), FieldKind::Text, QStringLiteral("作        者："));
    Field& tsfj = // attachments (a disc, a map)
        addField(QStringLiteral("tsfj"), FieldKind::Text, QStringLiteral("附        件："));
    Field& tsjg = // price in yuan
        addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格 (元)："));
    Field& nnsj = // when the book was registered
        addField(QStringLiteral("nnsj"), FieldKind::Date, QStringLiteral("录入时间："));
    Field& tszt = // state: on the shelf, lent, damaged or lost
        addField(QStringLiteral("tszt"), FieldKind::List, QStringLiteral("图书状态："))
            .setItems(Books::states())
            .setItemIndex(0);
    Field& tsztszq = // when the state was last set
        addField(QStringLiteral("tsztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    Field& tszjcs = // times lent
        addField(QStringLiteral("tszjcs"), FieldKind::Spin, QStringLiteral("租借次数："))
            .setUnbounded();
    Field& GroupBox5 = // around the book's remark
        addField(QStringLiteral("GroupBox5"), FieldKind::Group, QStringLiteral("图书备注："));
    Field& tsbz = // the book's remark, editable, stored with the loan or return
        addField(QStringLiteral("tsbz"), FieldKind::Memo).setMaxBytes(Books::kRemarkBytes);

    Field& ReceiptButton = // prints the receipt of the last loans or return
        addField(ReceiptSlip::kButton, FieldKind::Button, ReceiptSlip::kCaption);

protected:
    LoanDesk(const QString& name, const QString& caption, const ScreenContext& ctx,
             QObject* parent);

    // The panels a looked-up reader and book are shown in.
    Readers::ReaderPanel readerPanel();
    Books::BookPanel bookPanel();

    // What every showing starts with: nothing to print, neither side accepted, `action` (the
    // lend or return button) disabled.
    void showAnew(Field& action);
    // Enter on a button presses it, so a loan or return needs no mouse; not the Enter a
    // scanner sends after an id that looked itself up.
    void pressOnEnter(Field& button);

    enum class LookedUp { Reader, Book };
    // Puts the focus where the clerk's next scan belongs after a lookup of `side`.
    void focusAfterLookup(LookedUp side, Field& action);

    // Whether a lookup accepted the reader (the book); otherwise shows `refusal` and puts the
    // focus in the id field.
    bool readerAccepted(const QString& refusal);
    bool bookAccepted(const QString& refusal);
    // Clears the reader (the book) side for another one: reset, not accepted, `action`
    // disabled and the focus in the id field.
    void clearReaderSide(Field& action);
    void clearBookSide(Field& action);
    // The book lookup both screens start with, of the typed `id`: no such book clears the book
    // side. The book when found.
    std::optional<Books::BookRecord> lookUpBookSide(const QString& id, Field& action);

    // Shows a looked-up reader with the validity of the idle-time extension (now for a
    // pay-per-day reader, whose validity group is hidden), and keeps what was read.
    void showReaderRow(const Readers::ReaderRecord& reader, const QDateTime& now);
    // Shows a looked-up book and keeps its remark as shown.
    void showBookRow(const Books::BookRecord& book);
    // What the lookups read and the remarks as the clerk left them, for the store to check
    // under its lock.
    Circulation::DeskCopy deskCopy() const;
    // Puts an id into the reader field without the lookup a full id starts.
    void setReaderIdQuietly(const QString& id);
    // Whether the reader's state forbids lending and returning.
    bool stateForbids() const;
    // The remark of a panel as it is stored: its lines joined into one.
    static QString storedRemark(const Field& memo);

    // Runs a step that reads or writes the database; a DbError shows "连接数据库出错!" and
    // makes it false.
    bool guarded(const std::function<void()>& step);
    // After a committed loan or return: shows `success`, puts the reader as stored now into the
    // panel through `showStored`, and clears the book side for the reader's next book. The
    // operation stands even when the reader cannot be read back; the reader panel is then
    // cleared (no reader accepted) rather than reporting a failure that would read as a failed
    // operation.
    void afterCommit(const QString& success,
                     const std::function<void(const Readers::ReaderRecord&)>& showStored,
                     Field& action);

    ScreenContext ctx_;
    ReceiptSlip receipt_;
    QString currentReaderId_;
    QString currentBookId_;
    Readers::ReaderRecord loadedReader_;
    QString shownReaderRemark_;
    QString shownBookRemark_;
    bool readerOk_ = false;
    bool bookOk_ = false;

private:
    // Runs the lookup of an id completed by its length, as a scanner completes it.
    void lookUpScanned(const std::function<void()>& lookup);

    bool settingId_ = false;
    // An id completed by its own length has been looked up; the Enter a scanner sends after it
    // belongs to that id and presses no button the lookup moved the focus to.
    bool scanEnterPending_ = false;
};

} // namespace lms
