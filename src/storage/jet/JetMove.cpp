#include "storage/jet/JetMove.h"

#include "admin/DataClearing.h"
#include "core/NumberForms.h"
#include "core/Passwords.h"
#include "core/Schema.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QTime>
#include <cmath>
#include <future>
#include <limits>

namespace lms::JetMove {

namespace {

using Jet::Value;

// How the program's tables hold each column.
enum class Holds { Text, Integer, Real, Date };

Holds holdsOf(const QString& column) {
    static const QSet<QString> dates = {
        QStringLiteral("开户日期"), QStringLiteral("借阅有效期"), QStringLiteral("状态设置期"),
        QStringLiteral("录入时间"), QStringLiteral("借出日期"),   QStringLiteral("最晚归还日期"),
        QStringLiteral("借阅日期"), QStringLiteral("归还日期"),   QStringLiteral("时间")};
    static const QSet<QString> reals = {
        QStringLiteral("押金"),   QStringLiteral("金额总计"), QStringLiteral("开户费"),
        QStringLiteral("租金"),   QStringLiteral("逾期罚款"), QStringLiteral("破损遗失赔偿"),
        QStringLiteral("value1"), QStringLiteral("value2"),   QStringLiteral("value3"),
        QStringLiteral("value4"), QStringLiteral("value5")};
    static const QSet<QString> integers = {
        QStringLiteral("最多持有图书数量"), QStringLiteral("最长持有图书天数"),
        QStringLiteral("未还数量"),         QStringLiteral("借阅总计"),
        QStringLiteral("借阅次数"),         QStringLiteral("value6"),
        QStringLiteral("value7"),           QStringLiteral("value8"),
        QStringLiteral("value9"),           QStringLiteral("value10"),
        QStringLiteral("value11"),          QStringLiteral("value12"),
        QStringLiteral("value13")};
    if (dates.contains(column))
        return Holds::Date;
    if (reals.contains(column))
        return Holds::Real;
    if (integers.contains(column) || column.startsWith(QStringLiteral("功能")))
        return Holds::Integer;
    return Holds::Text;
}

// The column of each table that names a row, which the program keeps unique.
QString keyOf(const QString& table) {
    static const QHash<QString, QString> keys = {
        {QStringLiteral("读者"), QStringLiteral("读者编号")},
        {QStringLiteral("图书"), QStringLiteral("图书编号")},
        {QStringLiteral("管理员"), QStringLiteral("用户名")},
        {QStringLiteral("图书类型"), QStringLiteral("图书类型名称")}};
    return keys.value(table);
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// The engine's days since 1899-12-30 as the stored local-time text, to the second. Before that
// day the whole days count back while the fraction still counts forward into the day.
std::optional<QString> storedDate(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return std::nullopt;
    double whole = std::trunc(days);
    qint64 seconds = std::llround(std::fabs(days - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += days < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    // Written digit by digit: a shop holds a hundred thousand of them.
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    const int parts[] = {
        year, month, day, int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60)};
    char text[] = "0000-00-00 00:00:00.000";
    const int at[] = {0, 5, 8, 11, 14, 17};
    const int widths[] = {4, 2, 2, 2, 2, 2};
    for (int p = 0; p < 6; ++p) {
        int value = parts[p];
        for (int w = widths[p] - 1; w >= 0; --w) {
            text[at[p] + w] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
    }
    return QString::fromLatin1(text, sizeof text - 1);
}

// One row of the ledger's six amounts, as the listing totals them.
void addToSums(LedgerAmounts& sums, const QList<double>& amounts) {
    float* parts[] = {&sums.total, &sums.openingFee, &sums.deposit,
                      &sums.rent,  &sums.fine,       &sums.compensation};
    for (int i = 0; i < 6; ++i) {
        const double shown = Numbers::parseDecimal(Numbers::twoDecimalForm(amounts[i])).value_or(0);
        *parts[i] = static_cast<float>(static_cast<double>(*parts[i]) + shown);
    }
}

bool sameSums(const std::optional<LedgerAmounts>& a, const std::optional<LedgerAmounts>& b) {
    if (!a || !b)
        return !a && !b;
    return a->total == b->total && a->openingFee == b->openingFee && a->deposit == b->deposit &&
           a->rent == b->rent && a->fine == b->fine && a->compensation == b->compensation;
}

QString money(float amount) {
    return Numbers::twoDecimalForm(double(amount));
}

QString sumsText(const std::optional<LedgerAmounts>& sums) {
    if (!sums)
        return QStringLiteral("没有记录");
    return QStringLiteral("金额总计 %1 元（开户费 %2，押金 %3，租金 %4，逾期罚款 %5，破损遗失赔偿 "
                          "%6）")
        .arg(money(sums->total), money(sums->openingFee), money(sums->deposit), money(sums->rent),
             money(sums->fine), money(sums->compensation));
}

constexpr qint64 kNoCount = std::numeric_limits<qint64>::min();

// What the move learns of the old rows on the way, for the findings and the checks.
struct Seen {
    // reader id → 未还数量, kNoCount where it is empty
    QHash<QString, qint64> outstanding;
    QHash<QString, QString> bookStates; // book id → 当前状态
    struct Loan {
        qint64 row;
        QString book;
        QString reader;
    };
    QList<Loan> loans;
    std::optional<LedgerAmounts> ledger;
};

class Carrier {
public:
    Carrier(Database& target, Report& report) : target_(target), report_(report) {}

    void table(Jet::ChildReader& source, const QString& table, const QList<Jet::Column>& columns) {
        const QStringList targetColumns = columnsOf(table);
        QList<int> from; // the source column of each target column carried
        QStringList carried;
        for (const QString& column : targetColumns) {
            const auto at = std::find_if(columns.begin(), columns.end(),
                                         [&](const Jet::Column& c) { return c.name == column; });
            if (at == columns.end()) {
                report_.findings
                    << QStringLiteral("表“%1”没有“%2”一列，这一列移入后为空。").arg(table, column);
                continue;
            }
            from << static_cast<int>(at - columns.begin());
            carried << column;
        }
        for (const Jet::Column& column : columns)
            if (!targetColumns.contains(column.name))
                report_.leftColumns << table + QLatin1Char('.') + column.name;
        QStringList marks(carried.size(), QStringLiteral("?"));
        QStringList names;
        for (const QString& column : carried)
            names << quoted(column);
        const QString insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(quoted(table), names.join(QStringLiteral(", ")),
                                           marks.join(QStringLiteral(", ")));
        Query insert(target_, insertSql);
        QList<Holds> holds;
        for (const QString& column : carried)
            holds << holdsOf(column);
        const Remembered remembered = rememberedOf(table, carried);
        const QString key = keyOf(table);
        const int keyAt = static_cast<int>(carried.indexOf(key));
        const bool users = table == QStringLiteral("管理员");
        const int passwordAt = static_cast<int>(carried.indexOf(QStringLiteral("密码")));
        QSet<QString> keys;
        std::vector<std::pair<QVariantList, std::future<QString>>> pendingUsers;
        qint64 row = 0;
        qint64 written = 0;
        Jet::Row values;
        while (source.nextRow(values)) {
            ++row;
            QVariantList bound;
            for (int c = 0; c < carried.size(); ++c)
                bound << convert(values[from[c]], holds[c], table, row, carried[c]);
            if (keyAt >= 0 && !distinct(table, key, row, bound[keyAt], keys))
                continue;
            remember(remembered, bound, row);
            if (users && passwordAt >= 0) {
                // The plain password never reaches the new file: hashed beside the reading.
                const QString plain = bound[passwordAt].toString();
                pendingUsers.emplace_back(bound, std::async(std::launch::async, [plain] {
                                              return Passwords::hash(plain);
                                          }));
                continue;
            }
            insert.bindAll(bound);
            store(insert, table, row);
            ++written;
        }
        if (pendingUsers.empty()) {
            report_.tables << TableRows{.table = table, .rows = written};
            return;
        }
        // The users are stored once every table is read, so that their passwords are hashed
        // meanwhile.
        users_ = Users{.table = table,
                       .sql = insertSql,
                       .passwordAt = passwordAt,
                       .pending = std::move(pendingUsers),
                       .written = written};
    }

    // Stores the users whose passwords were being hashed.
    void finishUsers() {
        if (users_.pending.empty())
            return;
        Query insert(target_, users_.sql);
        for (auto& [bound, hashed] : users_.pending) {
            bound[users_.passwordAt] = hashed.get();
            insert.bindAll(bound);
            store(insert, users_.table, ++users_.written);
        }
        report_.tables << TableRows{.table = users_.table, .rows = users_.written};
        users_.pending.clear();
    }

    Seen& seen() { return seen_; }

private:
    QStringList columnsOf(const QString& table) {
        Query query(target_, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(table)));
        query.next();
        QStringList columns;
        for (int c = 0; c < query.columnCount(); ++c)
            if (query.columnName(c) != QLatin1String("rowid"))
                columns << query.columnName(c);
        return columns;
    }

    [[noreturn]] void refuse(const QString& table, qint64 row, const QString& column,
                             const QString& why) {
        throw Failure(QStringLiteral("表“%1”第%2行的“%3”%4，新的数据库不能保存，没有移动。")
                          .arg(table)
                          .arg(row)
                          .arg(column, why));
    }

    QVariant convert(const Value& value, Holds holds, const QString& table, qint64 row,
                     const QString& column) {
        switch (value.kind) {
        case Value::Null:
            return QVariant();
        case Value::Bool:
        case Value::Integer:
            if (holds == Holds::Date)
                refuse(table, row, column, QStringLiteral("不是日期时间"));
            if (holds == Holds::Real)
                return double(value.integer);
            if (holds == Holds::Text)
                return QString::number(value.integer);
            if (value.integer < INT32_MIN || value.integer > INT32_MAX)
                refuse(table, row, column, QStringLiteral("超出整数的范围"));
            return value.integer;
        case Value::Real:
            if (holds == Holds::Date)
                refuse(table, row, column, QStringLiteral("不是日期时间"));
            if (holds == Holds::Integer) {
                if (value.real != std::trunc(value.real) || std::fabs(value.real) > INT32_MAX)
                    refuse(table, row, column, QStringLiteral("不是整数"));
                return static_cast<qint64>(value.real);
            }
            if (holds == Holds::Text)
                return Numbers::generalForm(value.real);
            return value.real;
        case Value::Date: {
            const std::optional<QString> text = storedDate(value.real);
            if (!text)
                refuse(table, row, column, QStringLiteral("是无法表示的日期"));
            if (holds != Holds::Date && holds != Holds::Text)
                refuse(table, row, column, QStringLiteral("不是数字"));
            return *text;
        }
        case Value::Text:
            if (holds != Holds::Text)
                refuse(table, row, column,
                       holds == Holds::Date ? QStringLiteral("不是日期时间")
                                            : QStringLiteral("不是数字"));
            if (!target_.isFile() && value.text.contains(QChar(u'\0')))
                refuse(table, row, column, QStringLiteral("含有字符U+0000"));
            return value.text;
        }
        return QVariant();
    }

    // A name the program keeps unique: an empty one becomes "", a repeated one gets a mark of
    // its own so that both rows stay and each can be looked up; a repeated book type is the
    // same type and is kept once. False for a row left out.
    bool distinct(const QString& table, const QString& key, qint64 row, QVariant& value,
                  QSet<QString>& keys) {
        if (value.isNull()) {
            value = QString();
            report_.findings << QStringLiteral("表“%1”第%2行的“%3”是空的，移入为空文字。")
                                    .arg(table)
                                    .arg(row)
                                    .arg(key);
        }
        const QString id = value.toString();
        if (!keys.contains(id)) {
            keys.insert(id);
            return true;
        }
        if (table == QStringLiteral("图书类型")) {
            report_.findings << QStringLiteral("图书类型“%1”出现了不止一次（第%2行），只保留一个。")
                                    .arg(id)
                                    .arg(row);
            return false;
        }
        QString renamed;
        for (int n = 2;; ++n) {
            renamed = id + QStringLiteral("#%1").arg(n);
            if (!keys.contains(renamed))
                break;
        }
        keys.insert(renamed);
        value = renamed;
        report_.findings << QStringLiteral("表“%1”中“%2”为“%3”的有不止一行：第%4行移入后改为“%5”，"
                                           "可以按这个编号查到并更改或删除它（编号长于系统参数中"
                                           "的编号长度时，先把长度调大）；借出记录仍属于第一行。")
                                .arg(table, key, id)
                                .arg(row)
                                .arg(renamed);
        return true;
    }

    // Where the columns the checks need lie among those carried (-1: not carried).
    struct Remembered {
        enum Kind { Other, Readers, Books, Loans, Ledger } kind = Other;
        QList<qsizetype> at;
    };
    static Remembered rememberedOf(const QString& table, const QStringList& carried) {
        const auto columns = [&](std::initializer_list<const char*> names) {
            QList<qsizetype> at;
            for (const char* name : names)
                at << carried.indexOf(QString::fromUtf8(name));
            return at;
        };
        if (table == QStringLiteral("读者"))
            return {Remembered::Readers, columns({"读者编号", "未还数量"})};
        if (table == QStringLiteral("图书"))
            return {Remembered::Books, columns({"图书编号", "当前状态"})};
        if (table == QStringLiteral("借出图书"))
            return {Remembered::Loans, columns({"图书编号", "读者编号"})};
        if (table == QStringLiteral("资金"))
            return {Remembered::Ledger,
                    columns({"金额总计", "开户费", "押金", "租金", "逾期罚款", "破损遗失赔偿"})};
        return {};
    }

    void remember(const Remembered& r, const QVariantList& bound, qint64 row) {
        const auto at = [&](int i) { return r.at[i] < 0 ? QVariant() : bound[r.at[i]]; };
        switch (r.kind) {
        case Remembered::Other:
            break;
        case Remembered::Readers: {
            const QVariant count = at(1);
            seen_.outstanding.insert(at(0).toString(),
                                     count.isNull() ? kNoCount : count.toLongLong());
            break;
        }
        case Remembered::Books:
            seen_.bookStates.insert(at(0).toString(), at(1).toString());
            break;
        case Remembered::Loans:
            seen_.loans << Seen::Loan{
                .row = row, .book = at(0).toString(), .reader = at(1).toString()};
            break;
        case Remembered::Ledger: {
            QList<double> amounts;
            for (int i = 0; i < 6; ++i) {
                const QVariant amount = at(i);
                amounts << (amount.isNull() ? 0.0 : amount.toDouble());
            }
            if (!seen_.ledger)
                seen_.ledger = LedgerAmounts();
            addToSums(*seen_.ledger, amounts);
            break;
        }
        }
    }

    void store(Query& insert, const QString& table, qint64 row) {
        try {
            insert.exec();
        } catch (const DbError& error) {
            throw Failure(QStringLiteral("表“%1”第%2行不能存入新的数据库：%3")
                              .arg(table)
                              .arg(row)
                              .arg(QString::fromStdString(error.what()).trimmed()));
        }
        insert.reset();
    }

    struct Users {
        QString table;
        QString sql;
        int passwordAt = -1;
        std::vector<std::pair<QVariantList, std::future<QString>>> pending;
        qint64 written = 0;
    };

    Database& target_;
    Report& report_;
    Seen seen_;
    Users users_;
};

// What the old rows break, named for the shop owner.
void findBreaks(const Seen& seen, Report& report) {
    QHash<QString, qint64> loansOf;
    QHash<QString, qint64> loansOfBook;
    for (const Seen::Loan& loan : seen.loans) {
        ++loansOf[loan.reader];
        if (++loansOfBook[loan.book] == 2)
            report.findings << QStringLiteral("图书“%1”有不止一条借出记录。").arg(loan.book);
        if (!seen.bookStates.contains(loan.book))
            report.findings << QStringLiteral("借出图书第%1行的图书“%2”在图书表中没有；这条借出"
                                              "仍可在还书时归还并收费。")
                                   .arg(loan.row)
                                   .arg(loan.book);
        else if (seen.bookStates.value(loan.book) != QStringLiteral("已借出"))
            report.findings << QStringLiteral("图书“%1”有借出记录，当前状态却是“%2”。")
                                   .arg(loan.book, seen.bookStates.value(loan.book));
        if (!seen.outstanding.contains(loan.reader))
            report.findings << QStringLiteral("借出图书第%1行的读者“%2”在读者表中没有。")
                                   .arg(loan.row)
                                   .arg(loan.reader);
    }
    for (auto it = seen.bookStates.begin(); it != seen.bookStates.end(); ++it)
        if (it.value() == QStringLiteral("已借出") && !loansOfBook.contains(it.key()))
            report.findings
                << QStringLiteral("图书“%1”的状态是“已借出”，却没有借出记录。").arg(it.key());
    for (auto it = seen.outstanding.begin(); it != seen.outstanding.end(); ++it) {
        const qint64 loans = loansOf.value(it.key());
        const bool empty = it.value() == kNoCount;
        if ((empty ? 0 : it.value()) != loans)
            report.findings << QStringLiteral("读者“%1”的未还数量是%2，借出记录有%3条。")
                                   .arg(it.key(),
                                        empty ? QStringLiteral("空") : QString::number(it.value()))
                                   .arg(loans);
    }
}

qint64 countRows(Database& db, const QString& table) {
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table))).toLongLong();
}

// The new rows against the old ones: rows per table, the ledger's sums, each reader's count of
// books out and the loans behind it.
void checkCarried(Database& target, const Seen& seen, Report& report) {
    for (const TableRows& table : report.tables) {
        const qint64 stored = countRows(target, table.table);
        if (stored != table.rows)
            throw Failure(QStringLiteral("核对不符：表“%1”应移入%2行，新的数据库中有%3行。")
                              .arg(table.table)
                              .arg(table.rows)
                              .arg(stored));
    }
    report.ledger = seen.ledger;
    const std::optional<LedgerAmounts> stored = DataClearing::sumLedger(target);
    if (!sameSums(seen.ledger, stored))
        throw Failure(QStringLiteral("核对不符：资金的合计原为%1，移入后为%2。")
                          .arg(sumsText(seen.ledger), sumsText(stored)));
    Query readers(target, QStringLiteral("SELECT 读者编号, 未还数量 FROM 读者"));
    qint64 count = 0;
    while (readers.next()) {
        ++count;
        const QString id = readers.text(0);
        const qint64 kept = readers.isNull(1) ? kNoCount : readers.integer(1);
        if (!seen.outstanding.contains(id) || seen.outstanding.value(id) != kept)
            throw Failure(QStringLiteral("核对不符：读者“%1”的未还数量与原文件不同。").arg(id));
    }
    if (count != seen.outstanding.size())
        throw Failure(QStringLiteral("核对不符：读者的行数与原文件不同。"));
    QHash<QString, qint64> loansBefore;
    for (const Seen::Loan& loan : seen.loans)
        ++loansBefore[loan.reader];
    Query loans(target,
                QStringLiteral("SELECT 读者编号, count(*) FROM 借出图书 GROUP BY 读者编号"));
    qint64 readersWithLoans = 0;
    while (loans.next()) {
        ++readersWithLoans;
        if (loansBefore.value(loans.text(0)) != loans.integer(1))
            throw Failure(
                QStringLiteral("核对不符：读者“%1”的借出记录与原文件不同。").arg(loans.text(0)));
    }
    if (readersWithLoans != loansBefore.size())
        throw Failure(QStringLiteral("核对不符：借出记录与原文件不同。"));
}

// 管理员 first, so that the passwords are hashed while the large tables are read.
QStringList readingOrder() {
    QStringList order = {QStringLiteral("管理员")};
    for (const QString& table : Schema::tableNames())
        if (table != order.first())
            order << table;
    return order;
}

} // namespace

void checkCatalog(const QList<Jet::TableInfo>& catalog) {
    QStringList missing;
    for (const QString& table : Schema::tableNames()) {
        const bool found = std::any_of(catalog.begin(), catalog.end(),
                                       [&](const Jet::TableInfo& t) { return t.name == table; });
        if (!found)
            missing << table;
    }
    if (missing.size() == Schema::tableNames().size())
        throw Failure(QStringLiteral("这个 Jet 4.0 数据库文件不是图书租借系统的数据库（其中没有"
                                     "读者、图书等表），不能移入。"));
    if (!missing.isEmpty())
        throw Failure(QStringLiteral("这个 Jet 4.0 数据库文件缺少表：%1，不是完整的图书租借系统"
                                     "数据库，不能移入。")
                          .arg(missing.join(QStringLiteral("、"))));
}

QString foundText(const QList<Jet::TableInfo>& catalog) {
    QStringList lines;
    for (const Jet::TableInfo& table : catalog)
        lines << QStringLiteral("%1：%2 行").arg(table.name).arg(table.keptRows);
    return lines.join(QLatin1Char('\r'));
}

Report carry(const QString& file, Database& target) {
    try {
        Jet::ChildReader source(file, readingOrder());
        checkCatalog(source.catalog());
        ShopMove::checkTargetIsEmpty(target);
        Report report;
        for (const Jet::TableInfo& table : source.catalog())
            if (!Schema::tableNames().contains(table.name))
                report.leftTables
                    << QStringLiteral("%1（%2 行）").arg(table.name).arg(table.keptRows);
        Transaction transaction(target);
        Schema::createEmpty(target, Schema::currentVersion());
        Carrier carrier(target, report);
        QString name;
        QList<Jet::Column> columns;
        while (source.nextTable(name, columns))
            carrier.table(source, name, columns);
        carrier.finishUsers();
        // In the order of the program's tables, as every other listing of them.
        std::sort(report.tables.begin(), report.tables.end(),
                  [](const TableRows& a, const TableRows& b) {
                      return Schema::tableNames().indexOf(a.table) <
                             Schema::tableNames().indexOf(b.table);
                  });
        if (report.tables.size() != Schema::tableNames().size())
            throw Failure(QStringLiteral("旧数据库文件没有读完，没有移动。"));
        const qint64 settings = countRows(target, QStringLiteral("sysset"));
        if (settings < 11)
            throw Failure(QStringLiteral("表“sysset”只有%1条记录，缺少系统参数（应有11条），不能"
                                         "移入。")
                              .arg(settings));
        if (countRows(target, QStringLiteral("管理员")) == 0)
            throw Failure(QStringLiteral("表“管理员”中没有系统用户，移入后无人能登录，没有移动。"));
        findBreaks(carrier.seen(), report);
        checkCarried(target, carrier.seen(), report);
        transaction.commit();
        return report;
    } catch (const Jet::ReadError& error) {
        throw Failure(error.message());
    } catch (const DbError& error) {
        throw Failure(QStringLiteral("数据库出错：") +
                      QString::fromStdString(error.what()).trimmed());
    }
}

QString reportText(const Report& report, const QString& source, const QString& keptOriginal) {
    QStringList lines;
    lines << QStringLiteral("旧数据库文件的移入报告") << QString()
          << QStringLiteral("原文件：%1").arg(source);
    if (!keptOriginal.isEmpty())
        lines << QStringLiteral("原文件原样保存为：%1").arg(keptOriginal);
    lines << QString() << QStringLiteral("已移入：");
    for (const TableRows& table : report.tables)
        lines << QStringLiteral("  %1：%2 行").arg(table.table).arg(table.rows);
    lines << QStringLiteral("  资金合计：") + sumsText(report.ledger)
          << QStringLiteral("  系统用户的密码已改为加密保存，每位用户仍用原来的密码登录。");
    lines << QString() << QStringLiteral("未移入（本系统不用）：");
    if (report.leftTables.isEmpty() && report.leftColumns.isEmpty())
        lines << QStringLiteral("  无");
    for (const QString& table : report.leftTables)
        lines << QStringLiteral("  表 ") + table;
    for (const QString& column : report.leftColumns)
        lines << QStringLiteral("  列 ") + column;
    lines << QString() << QStringLiteral("旧数据中不合规则之处（已照原样移入，请核对）：");
    if (report.findings.isEmpty())
        lines << QStringLiteral("  无");
    for (const QString& finding : report.findings)
        lines << QStringLiteral("  ") + finding;
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace lms::JetMove
