#include "storage/jet/JetMove.h"

#include "admin/DataClearing.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Passwords.h"
#include "core/Schema.h"
#include "storage/jet/JetChecks.h"
#include "storage/jet/JetColumns.h"

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

// The version whose tables the old engine's file holds.
constexpr int kJetVersion = 2;

class Carrier {
public:
    Carrier(Database& target, Report& report) : target_(target), report_(report) {}

    void table(Jet::ChildReader& source, const QString& table, const QList<Jet::Column>& columns) {
        const QStringList targetColumns = ShopMove::columnsOf(target_, table);
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
            names << ShopMove::quoted(column);
        const QString insertSql =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(ShopMove::quoted(table), names.join(QStringLiteral(", ")),
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
        // Built as the old engine's tables stood, so that every column is carried; brought up to
        // date once checked, as opening a shop would: the ledger gets the readers and books its
        // log names.
        Schema::createEmpty(target, kJetVersion);
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
        const qint64 settings = ShopMove::countRows(target, QStringLiteral("sysset"));
        if (settings < 11)
            throw Failure(QStringLiteral("表“sysset”只有%1条记录，缺少系统参数（应有11条），不能"
                                         "移入。")
                              .arg(settings));
        if (ShopMove::countRows(target, QStringLiteral("管理员")) == 0)
            throw Failure(QStringLiteral("表“管理员”中没有系统用户，移入后无人能登录，没有移动。"));
        findBreaks(carrier.seen(), report);
        checkCarried(target, carrier.seen(), report);
        report.ledgerRowsUnnamed = Schema::upgrade(target).ledgerRowsUnnamed;
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
    lines << QStringLiteral("  资金合计：") + ShopMove::amountsText(report.ledger)
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
    if (report.ledgerRowsUnnamed > 0)
        lines << QString() << Messages::ledgerRowsUnnamed(report.ledgerRowsUnnamed);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace lms::JetMove
