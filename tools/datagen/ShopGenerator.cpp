#include "ShopGenerator.h"

#include "ChineseNames.h"

#include "books/BookDomains.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/Schema.h"
#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"
#include "readers/ReaderDomains.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace lms::datagen {

namespace {

constexpr qint64 kFiveYearsSecs = 5LL * 365 * 24 * 3600;
constexpr int kRowsPerTransaction = 20'000;
const QStringList kClerks = {QStringLiteral("admin"), QStringLiteral("小王"),
                             QStringLiteral("小李")};

struct ReaderPlan {
    int type = 0;
    int state = 0;
    int openLoans = 0;
};

// Commits every so many rows, so a big table neither waits on one huge journal nor on a
// commit per row.
class BatchWriter {
public:
    explicit BatchWriter(Database& db) : db_(db) { begin(); }
    void rowWritten() {
        if (++rows_ % kRowsPerTransaction == 0) {
            transaction_->commit();
            begin();
        }
    }
    void finish() { transaction_->commit(); }

private:
    void begin() { transaction_ = std::make_unique<Transaction>(db_); }
    Database& db_;
    std::unique_ptr<Transaction> transaction_;
    qint64 rows_ = 0;
};

class Generator {
public:
    Generator(Tdm_Dbase& dm, const ShopSize& size, const QDateTime& now, unsigned seed)
        : dm_(dm), db_(dm.db()), size_(size), now_(now), start_(now.addSecs(-kFiveYearsSecs)),
          random_(seed), names_(random_) {}

    void run() {
        planReaders();
        planLoans();
        writeReaders();
        writeBooks();
        writeLoans();
        writeHistory();
        writeLedger();
        writeLog();
    }

private:
    int pick(int count) { return static_cast<int>(random_() % static_cast<unsigned>(count)); }
    // The i-th of n moments spread evenly over the five years, with a little jitter.
    QDateTime spread(qint64 i, qint64 n) {
        // The jitter stays inside the span, so nothing is dated after "now".
        const qint64 secs = (kFiveYearsSecs - 601) * i / std::max<qint64>(n, 1) + pick(600);
        return start_.addSecs(secs).addMSecs(pick(1000));
    }
    QDateTime anyTime() { return spread(pick(1'000'000), 1'000'000); }

    int maxBooks(int type) const {
        const PubData& p = dm_.pub();
        const int all[] = {p.MonthlyMaxBooks, p.QuarterlyMaxBooks, p.YearlyMaxBooks,
                           p.DailyMaxBooks};
        return all[type];
    }
    int maxDays(int type) const {
        const PubData& p = dm_.pub();
        const int all[] = {p.MonthlyMaxDays, p.QuarterlyMaxDays, p.YearlyMaxDays, p.DailyMaxDays};
        return all[type];
    }

    void planReaders() {
        readers_.resize(size_.readers);
        for (int i = 0; i < size_.readers; ++i) {
            ReaderPlan& r = readers_[i];
            // The first readers cover every type and state; then mostly active readers.
            if (i < 16) {
                r.type = i % 4;
                r.state = i / 4;
            } else {
                r.type = pick(4);
                const int roll = pick(100);
                r.state = roll < 85 ? 0 : roll < 92 ? 1 : roll < 97 ? 2 : 3;
            }
        }
    }

    void planLoans() {
        // Books out: the first ones of a shuffled shelf, each with a reader in use who has room.
        std::vector<int> order(size_.books);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random_);
        bookState_.assign(size_.books, Books::OnShelf);
        int given = 0;
        for (int k = 0; given < size_.openLoans && k < size_.books; ++k) {
            int reader = -1;
            for (int tries = 0; tries < 50 && reader < 0; ++tries) {
                const int candidate = pick(size_.readers);
                const ReaderPlan& r = readers_[candidate];
                if (r.state <= 1 && r.openLoans + 1 < maxBooks(r.type))
                    reader = candidate;
            }
            if (reader < 0)
                break;
            ++readers_[reader].openLoans;
            bookState_[order[k]] = Books::Lent;
            loans_.push_back({order[k], reader});
            ++given;
        }
        // About one book in a hundred is damaged or lost.
        for (int k = given; k < size_.books; ++k)
            if (pick(100) == 0)
                bookState_[order[k]] = Books::DamagedOrLost;
    }

    void writeReaders() {
        BatchWriter batch(db_);
        Query insert(
            db_, QStringLiteral("INSERT INTO 读者 (读者编号, 读者类型, 读者姓名, 性别, 证件号码, "
                                "电话, 开户日期, 押金, 借阅有效期, 最多持有图书数量, "
                                "最长持有图书天数, 备注, 未还数量, 借阅总计, 当前状态, 状态设置期) "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < size_.readers; ++i) {
            const ReaderPlan& r = readers_[i];
            const QDateTime opened = spread(i, size_.readers);
            // Readers in use mostly hold a validity ahead of today; the others ran out.
            const QDateTime validity =
                r.state <= 1 ? now_.addDays(30 + pick(300)) : opened.addDays(30 + pick(300));
            const QString name = names_.personName();
            readerNames_.push_back(name);
            insert
                .bindAll({readerId(i), Readers::types().at(r.type), name,
                          Readers::sexes().at(pick(2)), names_.idCardNumber(1950 + pick(55)),
                          names_.phone(), Dates::toStorage(opened), 100.0,
                          Dates::toStorage(validity), maxBooks(r.type), maxDays(r.type),
                          pick(20) == 0 ? QVariant(QStringLiteral("老顾客")) : QVariant(),
                          r.openLoans, r.openLoans + pick(200), Readers::states().at(r.state),
                          Dates::toStorage(opened.addDays(pick(30)))})
                .exec();
            insert.reset();
            batch.rowWritten();
        }
        batch.finish();
        progress("读者", size_.readers);
    }

    void writeBooks() {
        BatchWriter batch(db_);
        Query insert(db_,
                     QStringLiteral("INSERT INTO 图书 (图书编号, 图书类型, 图书名称, 作者, 附件, "
                                    "价格, 备注, 当前状态, 状态设置期, 录入时间, 借阅次数) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QStringList& types = Schema::defaultBookTypes();
        for (int i = 0; i < size_.books; ++i) {
            const QString title = names_.bookTitle();
            bookTitles_.push_back(title);
            const QDateTime entered = spread(i, size_.books);
            const int price = 10 + pick(90);
            insert
                .bindAll({bookId(i), types.at(pick(static_cast<int>(types.size()))), title,
                          names_.personName(),
                          pick(10) == 0 ? QVariant(QStringLiteral("光盘一张")) : QVariant(),
                          QStringLiteral("%1.%2").arg(price).arg(pick(10)), QVariant(),
                          Books::states().at(bookState_[i]),
                          Dates::toStorage(entered.addDays(pick(30))), Dates::toStorage(entered),
                          pick(120)})
                .exec();
            insert.reset();
            batch.rowWritten();
        }
        batch.finish();
        progress("图书", size_.books);
    }

    void writeLoans() {
        BatchWriter batch(db_);
        Query insert(db_, QStringLiteral("INSERT INTO 借出图书 (图书编号, 图书名称, 读者编号, "
                                         "读者姓名, 借出日期, 最晚归还日期) "
                                         "VALUES (?, ?, ?, ?, ?, ?)"));
        for (const auto& [book, reader] : loans_) {
            // Lent within the last fifty days, so some loans are overdue.
            const QDateTime lent = now_.addSecs(-qint64(pick(50 * 24 * 3600)));
            insert
                .bindAll({bookId(book), bookTitles_[book], readerId(reader), readerNames_[reader],
                          Dates::toStorage(lent),
                          Dates::toStorage(Dates::plusDays(lent, maxDays(readers_[reader].type)))})
                .exec();
            insert.reset();
            batch.rowWritten();
        }
        batch.finish();
        progress("借出图书", static_cast<qint64>(loans_.size()));
    }

    void writeHistory() {
        BatchWriter batch(db_);
        Query insert(db_,
                     QStringLiteral("INSERT INTO 图书借阅历史记录 (图书编号, 图书名称, 读者编号, "
                                    "读者姓名, 借阅日期, 归还日期, 备注) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < size_.historyRows; ++i) {
            const int book = pick(size_.books);
            const int reader = pick(size_.readers);
            const QDateTime returned = spread(i, size_.historyRows);
            insert
                .bindAll({bookId(book), bookTitles_[book], readerId(reader), readerNames_[reader],
                          Dates::toStorage(returned.addSecs(-qint64(1 + pick(40)) * 86'400)),
                          Dates::toStorage(returned),
                          pick(200) == 0 ? QVariant(QStringLiteral("破损或遗失")) : QVariant()})
                .exec();
            insert.reset();
            batch.rowWritten();
        }
        batch.finish();
        progress("图书借阅历史记录", size_.historyRows);
    }

    // Each ledger record names its reader (and, for a return, its book), and beside it the log
    // record of the same operation at the same moment by the same clerk, in that operation's
    // words: a migration finds every one's reader and book in the log.
    void writeLedger() {
        BatchWriter batch(db_);
        Query insert(db_, QStringLiteral("INSERT INTO 资金 (事件, 操作者, 时间, 金额总计, 开户费, "
                                         "押金, 租金, 逾期罚款, 破损遗失赔偿, 读者编号, 图书编号) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        Query log(
            db_, QStringLiteral("INSERT INTO 日志 (事件, 时间, 操作者, 说明) VALUES (?, ?, ?, ?)"));
        for (int i = 0; i < size_.ledgerRows; ++i) {
            float opening = 0, deposit = 0, rent = 0, fine = 0, compensation = 0;
            QString event;
            QString logEvent;
            const QString reader = readerId(pick(size_.readers));
            QString book;
            const int roll = pick(100);
            if (roll < 10) {
                event = QStringLiteral("添加读者");
                opening = 10;
                deposit = 100;
                rent = 30;
            } else if (roll < 70) {
                event = QStringLiteral("读者还书");
                logEvent = QStringLiteral("读者归书");
                book = bookId(pick(size_.books));
                rent = pick(3) == 0 ? 0.5f * float(1 + pick(30)) : 0;
                fine = pick(5) == 0 ? 0.5f * float(1 + pick(20)) : 0;
                compensation = pick(100) == 0 ? float(10 + pick(60)) : 0;
            } else if (roll < 97) {
                event = QStringLiteral("缴费充值");
                rent = float(std::array{30, 80, 300}[pick(3)]);
                deposit = pick(4) == 0 ? float(pick(100)) : 0;
            } else {
                event = QStringLiteral("删除读者退回押金");
                logEvent = QStringLiteral("删除读者");
                deposit = -100;
            }
            const float total = opening + deposit + rent + fine + compensation;
            const QString clerk = kClerks.at(pick(3));
            const QString when = Dates::toStorage(spread(i, size_.ledgerRows));
            insert
                .bindAll({event, clerk, when, double(total), double(opening), double(deposit),
                          double(rent), double(fine), double(compensation), reader, book})
                .exec();
            insert.reset();
            log.bindAll({logEvent.isEmpty() ? event : logEvent, when, clerk,
                         explanationOf(event, reader, book, total)})
                .exec();
            log.reset();
            batch.rowWritten();
        }
        batch.finish();
        progress("资金", size_.ledgerRows);
    }

    // A money operation's log explanation, as the desk writes it.
    static QString explanationOf(const QString& event, const QString& reader, const QString& book,
                                 float total) {
        const QString amount = Numbers::generalForm(total);
        if (event == QStringLiteral("添加读者"))
            return QStringLiteral("读者编号：") + reader + QStringLiteral("  读者姓名：") +
                   QStringLiteral("  读者类型：包月 押金(元)：100总计(元)：") + amount;
        if (event == QStringLiteral("读者还书"))
            return QStringLiteral("读者编号：") + reader + QStringLiteral(" 图书编号：") + book +
                   QStringLiteral(" 缴纳费用总计：") + Numbers::twoDecimalForm(total) +
                   QStringLiteral("元,");
        if (event == QStringLiteral("缴费充值"))
            return QStringLiteral("读者编号：") + reader + QStringLiteral(" 总金额：") + amount +
                   QStringLiteral(" 押金增减：0");
        return QStringLiteral(" 被删除的读者编号：") + reader;
    }

    // The log records of the operations that move no money.
    void writeLog() {
        BatchWriter batch(db_);
        Query insert(
            db_, QStringLiteral("INSERT INTO 日志 (事件, 时间, 操作者, 说明) VALUES (?, ?, ?, ?)"));
        static const QStringList events = {QStringLiteral("读者借书"), QStringLiteral("添加图书"),
                                           QStringLiteral("更改读者信息")};
        for (int i = 0; i < size_.logRows; ++i) {
            const int roll = pick(100);
            const int kind = roll < 85 ? 0 : roll < 95 ? 1 : 2;
            const QString reader = readerId(pick(size_.readers));
            const QString book = bookId(pick(size_.books));
            const QString explanation = kind == 0 ? QStringLiteral("读者编号：") + reader +
                                                        QStringLiteral(" 图书编号：") + book
                                        : kind == 1 ? QStringLiteral("图书编号：") + book
                                                    : QStringLiteral("被更改的读者编号：") + reader;
            insert
                .bindAll({events.at(kind), Dates::toStorage(spread(i, size_.logRows)),
                          kClerks.at(pick(3)), explanation})
                .exec();
            insert.reset();
            batch.rowWritten();
        }
        batch.finish();
        progress("日志", size_.ledgerRows + size_.logRows);
    }

    static void progress(const char* table, qint64 rows) {
        std::printf("%s: %lld\n", table, static_cast<long long>(rows));
        std::fflush(stdout);
    }

    Tdm_Dbase& dm_;
    Database& db_;
    ShopSize size_;
    QDateTime now_;
    QDateTime start_;
    std::mt19937_64 random_;
    ChineseNames names_;
    std::vector<ReaderPlan> readers_;
    std::vector<int> bookState_;
    std::vector<std::pair<int, int>> loans_;
    QStringList readerNames_;
    QStringList bookTitles_;
};

} // namespace

QString readerId(int index) {
    return QString::number(10'000'001 + index);
}

QString bookId(int index) {
    return QString::number(20'000'001 + index);
}

void generateShop(const QString& folder, const ShopSize& size, const QDateTime& now,
                  unsigned seed) {
    PubData pub = PubData::defaultSettings();
    pub.AppPath = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    Tdm_Dbase dm(pub);
    dm.createDatabase(QStringLiteral("admin"), QStringLiteral("secret"));
    dm.connect();
    if (!dm.ReadSysSet())
        throw DbError(0, "cannot read the settings");
    Generator(dm, size, now, seed).run();
    dm.disconnect();
}

} // namespace lms::datagen
