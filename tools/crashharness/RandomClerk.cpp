#include "RandomClerk.h"

#include "ScreenColumns.h"

#include "core/DateRules.h"
#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"

#include <QThread>
#include <algorithm>
#include <cmath>

namespace lms::crash {

namespace {

const QStringList kNames = {QStringLiteral("张伟"), QStringLiteral("王芳"), QStringLiteral("李娜"),
                            QStringLiteral("刘洋"), QStringLiteral("陈静"), QStringLiteral("杨磊")};
const QStringList kTitles = {QStringLiteral("三国演义"), QStringLiteral("红楼梦"),
                             QStringLiteral("围城"), QStringLiteral("平凡的世界"),
                             QStringLiteral("活着")};
// Whole and half yuan, so every amount the shop computes is exact in single precision.
const QStringList kPrices = {QStringLiteral("20"), QStringLiteral("35.5"), QStringLiteral("12"),
                             QStringLiteral("48")};

} // namespace

RandomClerk::RandomClerk(Tdm_Dbase& dm, PubData& pub, quint32 seed, int desk)
    : dm_(dm), pub_(pub), random_(seed), ctx_{dm, pub, prompter_, clock_, host_},
      readerRegistration_(ctx_), bookRegistration_(ctx_), borrowing_(ctx_),
      returning_(ctx_, borrowing_), payment_(ctx_), readerDeletion_(ctx_), bookDeletion_(ctx_),
      readerChange_(ctx_), bookChange_(ctx_) {
    clock_.set(QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    clock_.setMillisecond(desk);
}

QString RandomClerk::lastMoment() const {
    return Dates::toStorage(clock_.now());
}

void RandomClerk::startAfterStoredMoments() {
    const QDateTime latest = Dates::fromStorage(
        dm_.db().scalar(QStringLiteral("SELECT max(时间) FROM 日志")).toString());
    if (latest.isValid() && latest >= clock_.now())
        clock_.set(latest.addSecs(60));
}

int RandomClerk::below(int bound) {
    return bound <= 1 ? 0 : std::uniform_int_distribution<int>(0, bound - 1)(random_);
}

bool RandomClerk::chance(double p) {
    return std::bernoulli_distribution(p)(random_);
}

qint64 RandomClerk::count(const QString& sql) {
    return dm_.db().scalar(sql).toLongLong();
}

QString RandomClerk::anyOf(const QString& sql) {
    const qint64 rows =
        count(QStringLiteral("SELECT count(*) FROM (") + sql + QStringLiteral(") AS choice"));
    if (rows == 0)
        return {};
    return dm_.db()
        .scalar(sql + QStringLiteral(" LIMIT 1 OFFSET ?"), {below(static_cast<int>(rows))})
        .toString();
}

QString RandomClerk::newId(QChar prefix, int length) {
    const int digits = std::max(1, length - 1);
    const int top = digits >= 9 ? 999'999'999 : static_cast<int>(std::pow(10, digits)) - 1;
    return prefix + QStringLiteral("%1").arg(std::uniform_int_distribution<int>(0, top)(random_),
                                             digits, 10, QLatin1Char('0'));
}

void RandomClerk::think(int times) {
    if (thinkMs_ > 0)
        QThread::msleep(static_cast<unsigned long>(below(times * thinkMs_ + 1)));
}

void RandomClerk::tellIntent(const QString& event, const QString& row,
                             const QList<ColumnChange>& changes) {
    if (intentSink_)
        intentSink_(event, lastMoment(), row, changes);
}

void RandomClerk::tick() {
    clock_.advanceSeconds(30 + below(7200));
    if (chance(0.05))
        clock_.advanceSeconds(86400LL * (1 + below(5)));
}

QString RandomClerk::step() {
    lastOperation_.clear();
    startAfterStoredMoments();
    const qint64 readers = count(QStringLiteral("SELECT count(*) FROM 读者"));
    const qint64 books = count(QStringLiteral("SELECT count(*) FROM 图书"));
    // Weights keep the shop at a working size: enough readers and books, many loans.
    const int changes = intentSink_ ? 10 : 0;
    const int weights[] = {readers < 15 ? 30 : 6, books < 25 ? 30 : 8, 30,      25,     10,
                           readers > 10 ? 5 : 0,  books > 20 ? 5 : 0,  changes, changes};
    std::discrete_distribution<int> pick(std::begin(weights), std::end(weights));
    static const struct {
        QString event;
        bool (RandomClerk::*run)();
    } operations[] = {
        {QStringLiteral("添加读者"), &RandomClerk::registerReader},
        {QStringLiteral("添加图书"), &RandomClerk::registerBook},
        {QStringLiteral("读者借书"), &RandomClerk::lend},
        {QStringLiteral("读者归书"), &RandomClerk::giveBack},
        {QStringLiteral("缴费充值"), &RandomClerk::pay},
        {QStringLiteral("删除读者"), &RandomClerk::deleteReader},
        {QStringLiteral("删除图书"), &RandomClerk::deleteBook},
        {QStringLiteral("更改读者信息"), &RandomClerk::changeReader},
        {QStringLiteral("更改图书信息"), &RandomClerk::changeBook},
    };
    const auto& operation = operations[pick(random_)];
    lastOperation_ = operation.event;
    return (this->*operation.run)() ? operation.event : QString();
}

bool RandomClerk::registerReader() {
    tick();
    Tfrm_TJReader& s = readerRegistration_;
    s.FormShow();
    // Yearly and pay-per-day readers stay able to borrow longest.
    const int types[] = {0, 1, 2, 2, 3, 3};
    s.field(QStringLiteral("rx")).setItemIndex(types[below(6)]);
    s.field(QStringLiteral("ID")).type(newId(QLatin1Char('R'), pub_.ReaderIdMaxLen));
    s.field(QStringLiteral("xm")).setValue(kNames.at(below(static_cast<int>(kNames.size()))));
    s.field(QStringLiteral("xp")).setItemIndex(below(2));
    s.Button1Click();
    return prompter_.lastText() == QStringLiteral("添加读者成功!");
}

bool RandomClerk::registerBook() {
    tick();
    Tfrm_TJBook& s = bookRegistration_;
    s.FormShow();
    const int typeCount = static_cast<int>(s.field(QStringLiteral("tsrx")).items().size());
    s.field(QStringLiteral("tsrx")).setItemIndex(below(typeCount));
    s.field(QStringLiteral("id")).type(newId(QLatin1Char('B'), pub_.BookIdMaxLen));
    s.field(QStringLiteral("tsmz")).setValue(kTitles.at(below(static_cast<int>(kTitles.size()))));
    s.field(QStringLiteral("tszz")).setValue(QStringLiteral("佚名"));
    s.field(QStringLiteral("tsjg")).setValue(kPrices.at(below(static_cast<int>(kPrices.size()))));
    s.Button1Click();
    return prompter_.lastText() == QStringLiteral("添加图书成功!");
}

bool RandomClerk::lend() {
    tick();
    const QString reader = anyOf(QStringLiteral("SELECT 读者编号 FROM 读者 ORDER BY rowid"));
    const QString book =
        anyOf(QStringLiteral("SELECT 图书编号 FROM 图书 WHERE 当前状态 = '未借出' ORDER BY rowid"));
    if (reader.isEmpty() || book.isEmpty())
        return false;
    Tfrm_TZJBook& s = borrowing_;
    s.FormShow();
    s.field(QStringLiteral("tzID")).type(reader);
    if (!s.readerOk())
        return false;
    s.field(QStringLiteral("tsID")).type(book);
    if (!s.bookOk())
        return false;
    think();
    s.Button1Click();
    return prompter_.lastText() == QStringLiteral("图书借出成功!");
}

bool RandomClerk::giveBack() {
    tick();
    const QString book = anyOf(QStringLiteral("SELECT 图书编号 FROM 借出图书 ORDER BY rowid"));
    if (book.isEmpty())
        return false;
    // Often the book comes back late, so the return carries an overdue fine.
    if (chance(0.35)) {
        const QDateTime due = Dates::fromStorage(
            dm_.db()
                .scalar(QStringLiteral("SELECT 最晚归还日期 FROM 借出图书 WHERE 图书编号 = ?"),
                        {book})
                .toString());
        if (due.isValid() && due > clock_.now())
            clock_.set(due.addSecs(86400LL * (1 + below(10)) + below(3600)));
    }
    Tfrm_TZHBook& s = returning_;
    s.FormShow();
    s.field(QStringLiteral("tsID")).type(book);
    if (!s.readerOk() || !s.bookOk())
        return false;
    s.field(QStringLiteral("psyx")).setValue(chance(0.15));
    s.field(QStringLiteral("cyjhz")).setValue(chance(0.4));
    think();
    s.Button1Click();
    return prompter_.lastText() == QStringLiteral("图书归还成功!");
}

bool RandomClerk::pay() {
    tick();
    const QString reader = anyOf(QStringLiteral("SELECT 读者编号 FROM 读者 ORDER BY rowid"));
    if (reader.isEmpty())
        return false;
    Tfrm_JNZC& s = payment_;
    s.FormShow();
    s.field(QStringLiteral("ID")).type(reader);
    if (!s.readerOk())
        return false;
    const QString loadedType = s.field(QStringLiteral("tzrx")).text();
    if (chance(0.3))
        s.field(QStringLiteral("tzrx")).setItemIndex(below(4));
    think();
    tellIntent(QStringLiteral("缴费充值"), reader, paymentChanges(s, loadedType));
    s.Button2Click();
    return prompter_.lastText() == QStringLiteral("读者缴费充值成功!");
}

bool RandomClerk::deleteReader() {
    tick();
    const QString reader =
        anyOf(QStringLiteral("SELECT 读者编号 FROM 读者 WHERE 未还数量 = 0 ORDER BY rowid"));
    if (reader.isEmpty())
        return false;
    Tfrm_SZReader& s = readerDeletion_;
    s.FormShow();
    s.field(QStringLiteral("tzID")).type(reader);
    if (!s.field(QStringLiteral("Button1")).isEnabled())
        return false;
    think();
    s.Button1Click();
    return prompter_.lastText().startsWith(QStringLiteral("删除读者成功!"));
}

bool RandomClerk::deleteBook() {
    tick();
    const QString book = anyOf(
        QStringLiteral("SELECT 图书编号 FROM 图书 WHERE 当前状态 <> '已借出' ORDER BY rowid"));
    if (book.isEmpty())
        return false;
    Tfrm_SCBook& s = bookDeletion_;
    s.FormShow();
    s.field(QStringLiteral("tsID")).type(book);
    if (!s.field(QStringLiteral("Button1")).isEnabled())
        return false;
    think();
    s.Button1Click();
    return prompter_.lastText() == QStringLiteral("删除图书成功!");
}

} // namespace lms::crash
