#include "admin/DataBackup.h"

#include "admin/DatabaseFileCheck.h"
#include "admin/Tfrm_bfffDate.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"

#include <QFileInfo>

namespace lms {

namespace {

bool allowedInFileName(const QString& separator) {
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    if (separator.isEmpty())
        return false;
    for (const QChar c : separator)
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return false;
    return true;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Holds a read transaction: the connection's view of the file stays as it was when it began.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Database& db) : db_(db) {
        db_.exec(QStringLiteral("BEGIN"));
        db_.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    }
    ~ReadSnapshot() {
        try {
            db_.exec(QStringLiteral("COMMIT"));
        } catch (const DbError&) {
            // Nothing was written; the transaction ends with the connection at the latest.
        }
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Database& db_;
};

} // namespace

DataBackup::DataBackup(ScreenContext& context, Tfrm_bfffDate& progress, RegionalFormats formats)
    : ctx_(context), progress_(progress), formats_(std::move(formats)) {}

QString DataBackup::backupFileName(const QDateTime& moment, const QString& dateSeparator) {
    const QString sep = allowedInFileName(dateSeparator) ? dateSeparator : QStringLiteral("-");
    const QDate date = moment.date();
    const QTime time = moment.time();
    return QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) + sep +
           twoDigits(date.month()) + sep + twoDigits(date.day()) + QLatin1Char(' ') +
           twoDigits(time.hour()) + QLatin1Char('-') + twoDigits(time.minute()) + QLatin1Char('-') +
           twoDigits(time.second()) + QStringLiteral("buckup.zqd");
}

QString DataBackup::onServerMessage() {
    return QStringLiteral(
        "本系统的数据保存在数据库服务器上。\r"
        "请在服务器上用PostgreSQL的备份工具（pg_dump、pg_restore）备份和恢复数据。");
}

void DataBackup::BFDataMenuClick() {
    if (!ctx_.dm.server().isEmpty()) {
        ctx_.prompter.information(onServerMessage());
        return;
    }
    progress_.start(Tfrm_bfffDate::BackupMode, QStringLiteral("正在备份数据，请稍候. . . . . . "));
    const QString source = ctx_.dm.databasePath();
    const QString target =
        ctx_.pub.AppPath + backupFileName(ctx_.clock.now(), formats_.dateSeparator());
    ctx_.host.showModeless(progress_, false);
    std::optional<QString> failure;
    try {
        Database& db = ctx_.dm.db();
        // The file alone then holds every committed change, and a read snapshot taken on the
        // empty log keeps any connection from moving later changes into it during the copy.
        db.checkpoint();
        ReadSnapshot snapshot(db);
        failure = progress_.CopyWithProgress(source, target);
    } catch (const DbError&) {
        progress_.abandon();
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (failure) {
        progress_.abandon();
        ctx_.prompter.error(QStringLiteral("数据备份失败！\r") + *failure);
    }
}

void DataBackup::FFDataMenuClick() {
    if (!ctx_.dm.server().isEmpty()) {
        ctx_.prompter.information(onServerMessage());
        return;
    }
    if (!ctx_.prompter.warningYesNo(QStringLiteral("恢复数据会影响当系统中的数据，建议在恢复之前先"
                                                   "做好数据备份。您还确定要恢复数据吗？")))
        return;
    progress_.start(Tfrm_bfffDate::RestoreMode, QStringLiteral("正在恢复数据，请稍候. . . . . ."));
    const std::optional<QString> chosen =
        ctx_.prompter.openFile(QStringLiteral("请选择数据库"), QStringLiteral("数据库文件|*.zqd"));
    if (!chosen) {
        progress_.abandon();
        // As after a restore, every later access starts on a fresh connection.
        reconnect();
        return;
    }
    restoreFrom(*chosen);
}

void DataBackup::restoreFrom(const QString& chosen) {
    const QString live = ctx_.dm.databasePath();
    // Copying the open file onto itself would empty it.
    if (isSameFile(chosen, live)) {
        progress_.abandon();
        ctx_.prompter.error(QStringLiteral("不能用正在使用的数据库文件恢复数据！"));
        return;
    }
    if (!isShopDatabase(chosen)) {
        progress_.abandon();
        ctx_.prompter.error(QStringLiteral("所选文件不是本系统的数据库文件，不能恢复数据！"));
        return;
    }
    ctx_.host.showModeless(progress_, false);
    ctx_.dm.disconnect();
    // Closing the last connection empties and removes the log; a log still there belongs to
    // another program with the file open, and would be replayed onto the restored file.
    if (QFileInfo::exists(live + QStringLiteral("-wal"))) {
        progress_.abandon();
        reconnect();
        ctx_.prompter.error(QStringLiteral("数据恢复失败！\r") +
                            QStringLiteral("数据库文件正被另一个程序使用。"));
        return;
    }
    const std::optional<QString> failure = progress_.CopyWithProgress(chosen, live);
    if (failure)
        progress_.abandon();
    reconnect();
    if (failure)
        ctx_.prompter.error(QStringLiteral("数据恢复失败！\r") + *failure);
}

void DataBackup::reconnect() {
    ctx_.dm.disconnect();
    try {
        ctx_.dm.connect();
    } catch (const DbError&) {
        progress_.abandon();
        ctx_.prompter.error(Messages::databaseError());
    }
}

} // namespace lms
