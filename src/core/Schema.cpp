#include "core/Schema.h"

#include "core/LedgerBackfill.h"
#include "core/SettingsStore.h"
#include "core/pubdata.h"

namespace lms::Schema {

namespace {

QString permissionColumns() {
    QString columns;
    for (int n = 1; n <= 23; ++n)
        columns += QStringLiteral(", 功能%1 INTEGER NOT NULL DEFAULT 0").arg(n);
    return columns;
}

// Migration 1: the nine tables with their indexes.
void createTables(Database& db, UpgradeReport&) {
    const QStringList statements = {
        QStringLiteral("CREATE TABLE 读者 (读者编号 TEXT NOT NULL, 读者类型 TEXT, 读者姓名 TEXT, "
                       "性别 TEXT, 证件号码 TEXT, 电话 TEXT, 开户日期 TEXT, 押金 REAL, "
                       "借阅有效期 TEXT, 最多持有图书数量 INTEGER, 最长持有图书天数 INTEGER, "
                       "备注 TEXT, 未还数量 INTEGER DEFAULT 0, 借阅总计 INTEGER DEFAULT 0, "
                       "当前状态 TEXT, 状态设置期 TEXT)"),
        QStringLiteral("CREATE UNIQUE INDEX 读者_读者编号 ON 读者 (读者编号)"),
        QStringLiteral(
            "CREATE TABLE 图书 (图书编号 TEXT NOT NULL, 图书类型 TEXT, 图书名称 TEXT, "
            "作者 TEXT, 附件 TEXT, 价格 TEXT, 备注 TEXT, 当前状态 TEXT, 状态设置期 TEXT, "
            "录入时间 TEXT, 借阅次数 INTEGER DEFAULT 0)"),
        QStringLiteral("CREATE UNIQUE INDEX 图书_图书编号 ON 图书 (图书编号)"),
        QStringLiteral("CREATE TABLE 借出图书 (图书编号 TEXT, 图书名称 TEXT, 读者编号 TEXT, "
                       "读者姓名 TEXT, 借出日期 TEXT, 最晚归还日期 TEXT, 备注 TEXT)"),
        QStringLiteral("CREATE INDEX 借出图书_图书编号 ON 借出图书 (图书编号)"),
        QStringLiteral("CREATE INDEX 借出图书_读者编号 ON 借出图书 (读者编号)"),
        QStringLiteral(
            "CREATE TABLE 图书借阅历史记录 (图书编号 TEXT, 图书名称 TEXT, 读者编号 TEXT, "
            "读者姓名 TEXT, 借阅日期 TEXT, 归还日期 TEXT, 备注 TEXT)"),
        QStringLiteral("CREATE TABLE 资金 (事件 TEXT, 操作者 TEXT, 时间 TEXT, 金额总计 REAL, "
                       "开户费 REAL, 押金 REAL, 租金 REAL, 逾期罚款 REAL, 破损遗失赔偿 REAL)"),
        QStringLiteral("CREATE INDEX 资金_时间 ON 资金 (时间)"),
        QStringLiteral("CREATE TABLE 日志 (事件 TEXT, 时间 TEXT, 操作者 TEXT, 说明 TEXT)"),
        QStringLiteral("CREATE INDEX 日志_时间 ON 日志 (时间)"),
        QStringLiteral("CREATE TABLE 管理员 (用户名 TEXT NOT NULL, 密码 TEXT, 备注 TEXT") +
            permissionColumns() + QStringLiteral(")"),
        QStringLiteral("CREATE UNIQUE INDEX 管理员_用户名 ON 管理员 (用户名)"),
        QStringLiteral("CREATE TABLE 图书类型 (图书类型名称 TEXT NOT NULL)"),
        QStringLiteral("CREATE UNIQUE INDEX 图书类型_图书类型名称 ON 图书类型 (图书类型名称)"),
        QStringLiteral("CREATE TABLE sysset (value1 REAL, value2 REAL, value3 REAL, value4 REAL, "
                       "value5 REAL, value6 INTEGER, value7 INTEGER, value8 INTEGER, "
                       "value9 INTEGER, value10 INTEGER, value11 INTEGER, value12 INTEGER, "
                       "value13 INTEGER)"),
    };
    for (const QString& sql : statements)
        db.exec(sql);
}

// Migration 2: the borrowing history listed newest first from its first row on, without
// sorting the whole table before it; one reader's or one book's history found by its index, as
// the books out are.
void indexHistory(Database& db, UpgradeReport&) {
    for (const char* column : {"借阅日期", "读者编号", "图书编号"})
        db.exec(QStringLiteral("CREATE INDEX 图书借阅历史记录_%1 ON 图书借阅历史记录 (%1)")
                    .arg(QString::fromUtf8(column)));
}

// Migration 3: each ledger record names its reader and book, those of the records before it
// taken from the log where it names them, found by reader; and the settings record holds the
// shop's name.
void nameLedgerParties(Database& db, UpgradeReport& report) {
    for (const char* column : {"读者编号", "图书编号"})
        db.exec(QStringLiteral("ALTER TABLE 资金 ADD COLUMN %1 TEXT NOT NULL DEFAULT ''")
                    .arg(QString::fromUtf8(column)));
    db.exec(QStringLiteral("ALTER TABLE sysset ADD COLUMN value14 TEXT"));
    report.ledgerRowsUnnamed += LedgerBackfill::fill(db);
    // A reader's statement finds the reader's records by this index (made after the filling,
    // which is faster than keeping it up to date row by row).
    db.exec(QStringLiteral("CREATE INDEX 资金_读者编号 ON 资金 (读者编号)"));
}

using Migration = void (*)(Database&, UpgradeReport&);
constexpr Migration kMigrations[] = {createTables, indexHistory, nameLedgerParties};

} // namespace

int currentVersion() {
    return static_cast<int>(std::size(kMigrations));
}

const QStringList& tableNames() {
    static const QStringList names = {
        QStringLiteral("读者"),     QStringLiteral("图书"),
        QStringLiteral("借出图书"), QStringLiteral("图书借阅历史记录"),
        QStringLiteral("资金"),     QStringLiteral("日志"),
        QStringLiteral("管理员"),   QStringLiteral("图书类型"),
        QStringLiteral("sysset")};
    return names;
}

const QStringList& defaultBookTypes() {
    static const QStringList types = {QStringLiteral("小说"), QStringLiteral("文学"),
                                      QStringLiteral("历史"), QStringLiteral("科技"),
                                      QStringLiteral("少儿"), QStringLiteral("漫画"),
                                      QStringLiteral("杂志")};
    return types;
}

UpgradeReport upgrade(Database& db) {
    const auto checked = [](int version) {
        if (version < 1 || version > currentVersion())
            throw DbError(0, "not a database of this program");
        return version;
    };
    // Most starts find the file up to date and take no lock (a backup may be read-only).
    UpgradeReport report;
    if (checked(db.userVersion()) == currentVersion())
        return report;
    // Each step reads the version again under the shop's lock: another desk started after the
    // same update may have run it meanwhile.
    for (;;) {
        Transaction transaction(db);
        const int version = checked(db.userVersion());
        if (version == currentVersion())
            return report;
        kMigrations[version](db, report);
        db.setUserVersion(version + 1);
        transaction.commit();
    }
}

void createEmpty(Database& db, int version) {
    if (version < 1 || version > currentVersion())
        throw DbError(0, "no such schema version");
    if (db.userVersion() != 0 || db.hasTable(QStringLiteral("sysset")))
        throw DbError(0, "the file already holds a database");
    UpgradeReport nothing;
    for (int step = 0; step < version; ++step)
        kMigrations[step](db, nothing);
    db.setUserVersion(version);
}

void create(Database& db, const PubData& defaults) {
    createEmpty(db, currentVersion());
    // Six records that carry nothing of this system, then the five settings records.
    for (int i = 0; i < 11; ++i)
        db.exec(QStringLiteral("INSERT INTO sysset DEFAULT VALUES"));
    SettingsStore::write(db, defaults);
    for (const QString& type : defaultBookTypes())
        Query(db, QStringLiteral("INSERT INTO 图书类型 (图书类型名称) VALUES (?)"))
            .bind(1, type)
            .exec();
}

} // namespace lms::Schema
