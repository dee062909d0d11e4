#include "circulation/LoanDesk.h"

#include "books/BookDomains.h"
#include "core/DbError.h"
#include "core/GbkText.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/IdField.h"
#include "core/pubdata.h"
#include "readers/ReaderDomains.h"
#include "readers/ReaderFieldLimits.h"
#include "readers/ReaderLookup.h"
#include "readers/ReaderRecord.h"

#include <QScopedValueRollback>
#include <climits>

namespace lms {

LoanDesk::LoanDesk(const QString& name, const QString& caption, const ScreenContext& ctx,
                   QObject* parent)
    : FormModel(name, caption, parent), ctx_(ctx) {}

void LoanDesk::addReaderPanel() {
    addField(QStringLiteral("tzID"), FieldKind::Text, QStringLiteral("读者编号：")).setMaxBytes(20);
    addField(QStringLiteral("CheckisHaveReader"), FieldKind::Button, QStringLiteral("<<"));
    addField(QStringLiteral("GroupBox1"), FieldKind::Group, QStringLiteral("读者信息浏览："))
        .setEnabled(false);
    Readers::ReaderPanel& panel = readerPanel_;
    panel.name = &addField(QStringLiteral("tzxm"), FieldKind::Text, QStringLiteral("读者姓名："));
    panel.sex = &addField(QStringLiteral("xp"), FieldKind::List, QStringLiteral("性         别："))
                     .setItems(Readers::sexes());
    panel.type = &addField(QStringLiteral("tzrx"), FieldKind::List, QStringLiteral("读者类型："))
                      .setItems(Readers::types())
                      .setItemIndex(0);
    panel.phone = &addField(QStringLiteral("df"), FieldKind::Text, QStringLiteral("联系电话："));
    panel.idNumber =
        &addField(QStringLiteral("zjhm"), FieldKind::Text, QStringLiteral("证件号码："));
    panel.openedAt =
        &addField(QStringLiteral("khrq"), FieldKind::Date, QStringLiteral("开户日期："));
    panel.maxBooks =
        &addField(QStringLiteral("tssn"), FieldKind::Spin, QStringLiteral("最多持有图书数量(本)："))
             .setUnbounded();
    panel.maxDays =
        &addField(QStringLiteral("tssj"), FieldKind::Spin, QStringLiteral("最长持有图书时间(天)："))
             .setUnbounded();
    panel.loansTotal =
        &addField(QStringLiteral("jyzj"), FieldKind::Spin, QStringLiteral("租借总计(本次)："))
             .setUnbounded();
    panel.booksOut =
        &addField(QStringLiteral("whsn"), FieldKind::Spin, QStringLiteral("未还图书数量(本)："))
             .setUnbounded();
    panel.deposit =
        &addField(QStringLiteral("yj"), FieldKind::Text, QStringLiteral("押金剩余(元)："));
    addField(QStringLiteral("GroupBox6"), FieldKind::Group);
    addField(QStringLiteral("yxq"), FieldKind::Date, QStringLiteral("租借有效期至："));
    panel.state = &addField(QStringLiteral("tzzt"), FieldKind::List, QStringLiteral("读者状态："))
                       .setItems(Readers::states())
                       .setItemIndex(0);
    panel.stateSince =
        &addField(QStringLiteral("tzztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    addField(QStringLiteral("GroupBox4"), FieldKind::Group, QStringLiteral("读者备注："));
    panel.remark =
        &addField(QStringLiteral("tzbz"), FieldKind::Memo).setMaxBytes(Readers::kRemarkBytes);

    lookUpWhenFull(
        field(QStringLiteral("tzID")), [this] { return ctx_.pub.ReaderIdMaxLen; },
        [this] {
            if (settingId_)
                return;
            CheckisHaveReaderClick();
            scanEnterPending_ = true;
        });
    addOperation(QStringLiteral("CheckisHaveReaderClick"), [this] { CheckisHaveReaderClick(); });
    onKeyDown(QStringLiteral("tzID"), [this](int key) {
        scanEnterPending_ = false;
        const QString id = typedId(field(QStringLiteral("tzID")));
        if (key == kEnterKey && !id.isEmpty() && !(readerOk_ && id == currentReaderId_))
            CheckisHaveReaderClick();
    });
    pressOnEnter(QStringLiteral("CheckisHaveReader"));
}

void LoanDesk::addBookPanel() {
    addField(QStringLiteral("tsID"), FieldKind::Text, QStringLiteral("图书编号：")).setMaxBytes(20);
    addField(QStringLiteral("CheckisHavebook"), FieldKind::Button, QStringLiteral("<<"));
    addField(QStringLiteral("GroupBox2"), FieldKind::Group, QStringLiteral("图书信息浏览："))
        .setEnabled(false);
    bookPanel_.title =
        &addField(QStringLiteral("tsmz"), FieldKind::Text, QStringLiteral("图书名称："));
    bookPanel_.type =
        &addField(QStringLiteral("tsrx"), FieldKind::Text, QStringLiteral("图书类型："));
    bookPanel_.author =
        &addField(QStringLiteral("tszz"), FieldKind::Text, QStringLiteral("作        者："));
    bookPanel_.attachments =
        &addField(QStringLiteral("tsfj"), FieldKind::Text, QStringLiteral("附        件："));
    bookPanel_.price =
        &addField(QStringLiteral("tsjg"), FieldKind::Text, QStringLiteral("价格 (元)："));
    bookPanel_.enteredAt =
        &addField(QStringLiteral("nnsj"), FieldKind::Date, QStringLiteral("录入时间："));
    bookPanel_.state =
        &addField(QStringLiteral("tszt"), FieldKind::List, QStringLiteral("图书状态："))
             .setItems(Books::states())
             .setItemIndex(0);
    bookPanel_.stateSince =
        &addField(QStringLiteral("tsztszq"), FieldKind::Date, QStringLiteral("状态设置时间："));
    bookPanel_.timesLent =
        &addField(QStringLiteral("tszjcs"), FieldKind::Spin, QStringLiteral("租借次数："))
             .setUnbounded();
    addField(QStringLiteral("GroupBox5"), FieldKind::Group, QStringLiteral("图书备注："));
    bookPanel_.remark =
        &addField(QStringLiteral("tsbz"), FieldKind::Memo).setMaxBytes(Books::kRemarkBytes);

    lookUpWhenFull(
        field(QStringLiteral("tsID")), [this] { return ctx_.pub.BookIdMaxLen; },
        [this] {
            CheckisHavebookClick();
            scanEnterPending_ = true;
        });
    addOperation(QStringLiteral("CheckisHavebookClick"), [this] { CheckisHavebookClick(); });
    onKeyDown(QStringLiteral("tsID"), [this](int key) {
        scanEnterPending_ = false;
        const QString id = typedId(field(QStringLiteral("tsID")));
        if (key == kEnterKey && !id.isEmpty() && !(bookOk_ && id == currentBookId_))
            CheckisHavebookClick();
    });
    pressOnEnter(QStringLiteral("CheckisHavebook"));
}

void LoanDesk::pressOnEnter(const QString& button) {
    onKeyDown(button, [this, button](int key) {
        const bool scanEnter = scanEnterPending_;
        scanEnterPending_ = false;
        if (key == kEnterKey && !scanEnter && field(button).isEnabled())
            run(button + QStringLiteral("Click"));
    });
}

void LoanDesk::iniTZ() {
    Field& id = field(QStringLiteral("tzID"));
    id.setMaxBytes(ctx_.pub.ReaderIdMaxLen);
    id.setValue(QString());
    for (const char* name : {"tzxm", "df", "zjhm", "tzbz"})
        field(QString::fromLatin1(name)).setValue(QString());
    field(QStringLiteral("xp")).setItemIndex(-1);
    field(QStringLiteral("tzrx")).setItemIndex(0);
    currentReaderId_.clear();
    const QDateTime now = ctx_.clock.now();
    for (const char* name : {"khrq", "yxq", "tzztszq"})
        field(QString::fromLatin1(name)).setValue(now);
}

void LoanDesk::iniTs() {
    Field& id = field(QStringLiteral("tsID"));
    id.setMaxBytes(ctx_.pub.BookIdMaxLen);
    id.setValue(QString());
    for (const char* name : {"tsmz", "tsrx", "tszz", "tsfj", "tsjg", "tsbz"})
        field(QString::fromLatin1(name)).setValue(QString());
    currentBookId_.clear();
    const QDateTime now = ctx_.clock.now();
    for (const char* name : {"nnsj", "tsztszq"})
        field(QString::fromLatin1(name)).setValue(now);
}

void LoanDesk::showReaderRow(const Readers::ReaderRecord& reader, const QDateTime& now) {
    Readers::showReader(readerPanel_, reader);
    field(QStringLiteral("yxq"))
        .setValue(reader.shownValidity(ctx_.pub.AutoExtendValidity, now).validity);
    const bool daily = field(QStringLiteral("tzrx")).itemIndex() == Readers::Daily;
    if (daily)
        field(QStringLiteral("yxq")).setValue(now);
    field(QStringLiteral("GroupBox6")).setVisible(!daily);
}

void LoanDesk::putId(const QString& idField, const QString& id) {
    field(idField).setValue(id);
    scanEnterPending_ = false;
}

void LoanDesk::setReaderIdQuietly(const QString& id) {
    const QScopedValueRollback<bool> settingId(settingId_, true);
    field(QStringLiteral("tzID")).setValue(id);
}

std::optional<Readers::ReaderRecord> LoanDesk::readerAsStored() {
    try {
        return Readers::loadReader(ctx_.dm.db(), currentReaderId_);
    } catch (const DbError&) {
        iniTZ();
        readerOk_ = false;
        return std::nullopt;
    }
}

bool LoanDesk::stateForbids() const {
    const int state = field(QStringLiteral("tzzt")).itemIndex();
    return state == Readers::Suspended || state == Readers::LostStopped;
}

QString LoanDesk::storedRemark(const QString& memo) const {
    // The byte limit holds for what the clerk types; a longer remark stored by another screen
    // (the payment screen takes any length) is written back whole, never cut on the way.
    return Gbk::joinLines(field(memo).text());
}

} // namespace lms
