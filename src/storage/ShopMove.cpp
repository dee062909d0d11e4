#include "storage/ShopMove.h"

#include "admin/DataClearing.h"
#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Schema.h"
#include "core/SqlNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lms::ShopMove {

namespace {

QString notOurs() {
    return QStringLiteral("要移动的数据库不是本系统的数据库，或者已经损坏。");
}

Failure databaseFailure(const DbError& error) {
    return Failure(QStringLiteral("数据库出错：") + QString::fromStdString(error.what()).trimmed());
}

// The source's schema version, once it has shown itself a shop this program can read.
int checkSource(Database& source) {
    const int version = source.userVersion();
    if (version > Schema::currentVersion())
        throw Failure(QStringLiteral("要移动的数据库的版本（%1）比本程序的（%2）新，请先更新程序。")
                          .arg(version)
                          .arg(Schema::currentVersion()));
    QStringList missing;
    for (const QString& table : Schema::tableNames())
        if (!source.hasTable(table))
            missing << table;
    if (version < 1 && missing.size() == Schema::tableNames().size())
        throw Failure(QStringLiteral("要移动的数据库是空的，其中没有本店的数据。"));
    if (version < 1 || !missing.isEmpty())
        throw Failure(notOurs());
    return version;
}

// Reads the source as of one moment, so that a desk writing meanwhile cannot put half an
// operation into the copy.
class Snapshot {
public:
    explicit Snapshot(Database& db) : db_(db) {
        db_.exec(QStringLiteral("BEGIN"));
        if (!db_.isFile())
            db_.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    }
    ~Snapshot() {
        try {
            if (db_.inTransaction())
                db_.exec(QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
            // Nothing was written: there is nothing to undo.
        }
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    Database& db_;
};

// A text the server would cut short at its first U+0000 without a word.
bool holdsNul(const QVariant& value) {
    return value.typeId() == QMetaType::QString && value.toString().contains(QChar(u'\0'));
}

// Copies one table in rowid order, each row keeping its rowid; returns the rows copied.
qint64 copyTable(Database& source, Database& target, const QString& table,
                 const QStringList& columns) {
    QStringList names;
    QStringList marks = {QStringLiteral("?")};
    for (const QString& column : columns) {
        names << quoted(column);
        marks << QStringLiteral("?");
    }
    const QString list = names.join(QStringLiteral(", "));
    Query read(source,
               QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(list, quoted(table)));
    Query write(target, QStringLiteral("INSERT INTO %1 (rowid, %2) VALUES (%3)")
                            .arg(quoted(table), list, marks.join(QStringLiteral(", "))));
    const bool toServer = !target.isFile();
    qint64 row = 0;
    while (read.next()) {
        ++row;
        for (int c = 0; c <= columns.size(); ++c) {
            const QVariant value = read.value(c);
            if (toServer && holdsNul(value))
                throw Failure(QStringLiteral("表“%1”第%2行的“%3”含有字符U+0000，数据库服务器不能"
                                             "保存这个字符。请先在程序中改正这一行。")
                                  .arg(table)
                                  .arg(row)
                                  .arg(columns[c - 1]));
            write.bind(c + 1, value);
        }
        try {
            write.exec();
        } catch (const DbError& error) {
            throw Failure(QStringLiteral("表“%1”第%2行不能存入目标数据库：%3")
                              .arg(table)
                              .arg(row)
                              .arg(QString::fromStdString(error.what()).trimmed()));
        }
        write.reset();
    }
    return row;
}

// The server hands out rowids from a sequence of the table's own: the next row a desk writes
// goes after the copied ones.
void continueRowids(Database& server, const QString& table) {
    Query(server, QStringLiteral("SELECT setval(pg_get_serial_sequence(?, 'rowid'), "
                                 "COALESCE(max(rowid), 0) + 1, false) FROM %1")
                      .arg(quoted(table)))
        .bind(1, quoted(table))
        .exec();
}

// Compares the copy with the source: the rows of every table and the ledger's sums.
void checkCopy(Database& source, Database& target, Moved& moved) {
    for (const TableRows& copied : moved.tables) {
        const qint64 before = countRows(source, copied.table);
        const qint64 after = countRows(target, copied.table);
        if (before != copied.rows || after != before)
            throw Failure(QStringLiteral("核对不符：表“%1”原有%2行，移动后有%3行。")
                              .arg(copied.table)
                              .arg(before)
                              .arg(after));
    }
    moved.ledger = DataClearing::sumLedger(source);
    const std::optional<LedgerAmounts> copiedLedger = DataClearing::sumLedger(target);
    if (!sameAmounts(moved.ledger, copiedLedger))
        throw Failure(QStringLiteral("核对不符：资金的合计原为%1，移动后为%2。")
                          .arg(amountsText(moved.ledger), amountsText(copiedLedger)));
}

} // namespace

void checkTargetIsEmpty(Database& target) {
    QStringList present;
    for (const QString& table : Schema::tableNames())
        if (target.hasTable(table))
            present << table;
    if (target.userVersion() != 0)
        present << QStringLiteral("lms_schema");
    if (!present.isEmpty())
        throw Failure(QStringLiteral("目标数据库不是空的（已有表：%1），为免覆盖其中的数据，"
                                     "没有移动。请指定一个新建的空数据库。")
                          .arg(present.join(QStringLiteral("、"))));
}

QString quoted(const QString& name) {
    return quotedName(name);
}

QStringList columnsOf(Database& db, const QString& table) {
    Query query(db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(table)));
    query.next();
    QStringList columns;
    for (int c = 0; c < query.columnCount(); ++c)
        if (query.columnName(c) != QLatin1String("rowid"))
            columns << query.columnName(c);
    return columns;
}

qint64 countRows(Database& db, const QString& table) {
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table))).toLongLong();
}

bool sameAmounts(const std::optional<LedgerAmounts>& a, const std::optional<LedgerAmounts>& b) {
    if (!a || !b)
        return !a && !b;
    return a->total == b->total && a->openingFee == b->openingFee && a->deposit == b->deposit &&
           a->rent == b->rent && a->fine == b->fine && a->compensation == b->compensation;
}

QString amountsText(const std::optional<LedgerAmounts>& sums) {
    if (!sums)
        return QStringLiteral("没有记录");
    const auto money = [](double amount) { return Numbers::twoDecimalForm(amount); };
    return QStringLiteral(
               "金额总计 %1 元（开户费 %2，押金 %3，租金 %4，逾期罚款 %5，破损遗失赔偿 %6）")
        .arg(money(sums->total), money(sums->openingFee), money(sums->deposit), money(sums->rent),
             money(sums->fine), money(sums->compensation));
}

void removeSideFile(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

Moved copyShop(Database& source, Database& target) {
    try {
        const int version = checkSource(source);
        checkTargetIsEmpty(target);
        Snapshot snapshot(source);
        Transaction transaction(target);
        // Built as the source's version stood, so the columns match; brought up to date after
        // the check, as opening it would.
        Schema::createEmpty(target, version);
        Moved moved;
        for (const QString& table : Schema::tableNames()) {
            const QStringList columns = columnsOf(source, table);
            if (columns != columnsOf(target, table))
                throw Failure(notOurs());
            moved.tables << TableRows{.table = table,
                                      .rows = copyTable(source, target, table, columns)};
            if (!target.isFile())
                continueRowids(target, table);
        }
        checkCopy(source, target, moved);
        moved.ledgerRowsUnnamed = Schema::upgrade(target).ledgerRowsUnnamed;
        transaction.commit();
        return moved;
    } catch (const DbError& error) {
        throw databaseFailure(error);
    }
}

Moved toServer(const QString& folder, Database& server) {
    const QString path = QDir(folder).filePath(Tdm_Dbase::kFileName);
    if (!QFileInfo::exists(path))
        throw Failure(
            QStringLiteral("文件夹“%1”中没有数据库文件 %2。")
                .arg(QDir::toNativeSeparators(QDir(folder).absolutePath()), Tdm_Dbase::kFileName));
    Database file;
    try {
        file.open(path, Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    } catch (const DbError&) {
        throw Failure(notOurs());
    }
    return copyShop(file, server);
}

Moved toFile(Database& server, const QString& folder) {
    const QString path = QDir(folder).filePath(Tdm_Dbase::kFileName);
    if (QFileInfo::exists(path))
        throw Failure(QStringLiteral("文件夹中已有数据库文件 %1，为免覆盖其中的数据，没有移动。"
                                     "请先把它移走或改名。")
                          .arg(QDir::toNativeSeparators(path)));
    // Written beside, and named only once complete: a move cut short leaves no shop file.
    const QString sidePath = path + QStringLiteral(".moving");
    removeSideFile(sidePath);
    try {
        Moved moved;
        {
            Database file;
            file.open(sidePath, Tdm_Dbase::kPassword, Database::OpenMode::CreateIfMissing);
            moved = copyShop(server, file);
        }
        // Never replaces a file that appeared meanwhile.
        if (!QFile::rename(sidePath, path))
            throw Failure(
                QStringLiteral("不能把新文件命名为 %1。").arg(QDir::toNativeSeparators(path)));
        return moved;
    } catch (const DbError& error) {
        removeSideFile(sidePath);
        throw databaseFailure(error);
    } catch (...) {
        removeSideFile(sidePath);
        throw;
    }
}

QString describe(const Moved& moved) {
    QStringList lines;
    for (const TableRows& table : moved.tables)
        lines << QStringLiteral("  %1：%2 行").arg(table.table).arg(table.rows);
    lines << QStringLiteral("资金合计：") + amountsText(moved.ledger);
    if (moved.ledgerRowsUnnamed > 0)
        lines << Messages::ledgerRowsUnnamed(moved.ledgerRowsUnnamed);
    return lines.join(QLatin1Char('\n'));
}

} // namespace lms::ShopMove
