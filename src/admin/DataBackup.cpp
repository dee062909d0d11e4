#include "admin/DataBackup.h"

#include "admin/BackgroundCheck.h"
#include "admin/Tfrm_bfffDate.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "storage/DatabaseFileCheck.h"
#include "storage/PageCodes.h"
#include "storage/ServerDumps.h"
#include "storage/jet/JetArrival.h"
#include "storage/jet/JetFormat.h"

#include <QFile>
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

// "yyyy/mm/dd hh-mm-ss" with the separator a file name can hold.
QString stamp(const QDateTime& moment, const QString& dateSeparator) {
    const QString sep = allowedInFileName(dateSeparator) ? dateSeparator : QStringLiteral("-");
    const QDate date = moment.date();
    const QTime time = moment.time();
    return QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) + sep +
           twoDigits(date.month()) + sep + twoDigits(date.day()) + QLatin1Char(' ') +
           twoDigits(time.hour()) + QLatin1Char('-') + twoDigits(time.minute()) + QLatin1Char('-') +
           twoDigits(time.second());
}

const QString kNotADatabase = QStringLiteral("所选文件不是本系统的数据库文件，不能恢复数据！");

} // namespace

DataBackup::DataBackup(ScreenContext& context, Tfrm_bfffDate& progress, RegionalFormats formats)
    : ctx_(context), progress_(progress), formats_(std::move(formats)) {}

QString DataBackup::backupFileName(const QDateTime& moment, const QString& dateSeparator) {
    return stamp(moment, dateSeparator) + QStringLiteral("buckup.zqd");
}

QString DataBackup::serverBackupFileName(const QDateTime& moment, const QString& dateSeparator) {
    return stamp(moment, dateSeparator) + QStringLiteral("buckup.") + ServerDumps::extension();
}

bool DataBackup::onServer() const {
    return !ctx_.dm.server().isEmpty();
}

void DataBackup::BFDataMenuClick() {
    progress_.start(Tfrm_bfffDate::BackupMode, QStringLiteral("正在备份数据，请稍候. . . . . . "));
    const QString source = ctx_.dm.databasePath();
    const QDateTime now = ctx_.clock.now();
    const QString target =
        ctx_.pub.AppPath + (onServer() ? serverBackupFileName(now, formats_.dateSeparator())
                                       : backupFileName(now, formats_.dateSeparator()));
    ctx_.host.showModeless(progress_, false);
    if (onServer())
        return backUpServer(target);
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
    if (failure)
        abandonWith(QStringLiteral("数据备份失败！\r") + *failure);
}

void DataBackup::backUpServer(const QString& target) {
    progress_.beginSteps(ServerDumps::backupSteps());
    const std::optional<QString> failure =
        ServerDumps::write(ctx_.dm.server(), target, [this] { progress_.advanceStep(); });
    if (failure)
        abandonWith(QStringLiteral("数据备份失败！\r") + *failure);
    else
        progress_.finishSteps();
}

void DataBackup::FFDataMenuClick() {
    if (!ctx_.prompter.warningYesNo(QStringLiteral("恢复数据会影响当系统中的数据，建议在恢复之前先"
                                                   "做好数据备份。您还确定要恢复数据吗？")))
        return;
    progress_.start(Tfrm_bfffDate::RestoreMode, QStringLiteral("正在恢复数据，请稍候. . . . . ."));
    const std::optional<QString> chosen = ctx_.prompter.openFile(
        QStringLiteral("请选择数据库"),
        onServer() ? QStringLiteral("数据库服务器备份文件|*.") + ServerDumps::extension()
                   : QStringLiteral("数据库文件|*.zqd"));
    if (!chosen) {
        progress_.abandon();
        // As after a restore, every later access starts on a fresh connection.
        reconnect();
        return;
    }
    if (onServer())
        return restoreServerFrom(*chosen);
    restoreFrom(*chosen);
}

void DataBackup::abandonWith(const QString& message) {
    progress_.abandon();
    ctx_.prompter.error(message);
}

void DataBackup::restoreFrom(const QString& chosen) {
    const JetFormat::Probe jet = JetFormat::probe(chosen);
    if (jet.kind != JetFormat::Kind::NotJet)
        return restoreFromJet(chosen, jet);
    const QString live = ctx_.dm.databasePath();
    // Copying the open file onto itself would empty it.
    if (isSameFile(chosen, live)) {
        abandonWith(QStringLiteral("不能用正在使用的数据库文件恢复数据！"));
        return;
    }
    const ShopFileStart start = openShopDatabase(chosen);
    if (!start.opens) {
        abandonWith(ServerDumps::isDump(chosen)
                        ? QStringLiteral("所选文件是数据库服务器的备份（*.pgdump），本系统的数据"
                                         "保存在数据库文件中，不能用它恢复数据！")
                        : kNotADatabase);
        return;
    }
    ctx_.host.showModeless(progress_, false);
    // The pages' codes are checked beside the copy, over the blocks it has read: the chosen file
    // is read once, and the live file is replaced only once every page proved sound.
    std::optional<BackgroundCheck> codes;
    if (start.uncheckedPages > 0)
        codes.emplace(std::make_unique<PageCodes>(Tdm_Dbase::kPassword, start.uncheckedPages));
    const Tfrm_bfffDate::CheckedCopy copy = progress_.CopyWithProgress(
        chosen, live, codes ? &*codes : nullptr, [this, &live]() -> std::optional<QString> {
            ctx_.dm.disconnect();
            // Closing the last connection empties and removes the log; a log still there belongs
            // to another program with the file open, and would be replayed onto the restored file.
            if (QFileInfo::exists(live + QStringLiteral("-wal")))
                return QStringLiteral("数据库文件正被另一个程序使用。");
            return std::nullopt;
        });
    if (copy.refused) {
        // Found damaged while copied: refused as if found before, the live file untouched.
        abandonWith(kNotADatabase);
        return;
    }
    if (copy.failure)
        progress_.abandon();
    reconnect();
    if (copy.failure)
        ctx_.prompter.error(QStringLiteral("数据恢复失败！\r") + *copy.failure);
}

void DataBackup::restoreFromJet(const QString& chosen, const JetFormat::Probe& probe) {
    if (probe.kind != JetFormat::Kind::Jet4) {
        abandonWith(QStringLiteral("数据恢复失败！\r") + JetFormat::refusal(probe));
        return;
    }
    // Moved into a file of this program beside the live one first; that file is then restored
    // as any backup is, and the live file is replaced only once the move checked out.
    const QString side = ctx_.dm.databasePath() + QStringLiteral(".jet-restore");
    QFile::remove(side);
    ctx_.host.showModeless(progress_, false);
    try {
        JetArrival::moveToNewFile(chosen, side);
    } catch (const JetMove::Failure& failure) {
        abandonWith(QStringLiteral("数据恢复失败！\r") + failure.message());
        return;
    }
    restoreFrom(side);
    QFile::remove(side);
}

void DataBackup::restoreServerFrom(const QString& chosen) {
    if (isShopDatabase(chosen)) {
        abandonWith(QStringLiteral("所选文件是数据库文件（*.zqd）的备份，本系统的数据保存在数据库"
                                   "服务器上，不能用它恢复数据！"));
        return;
    }
    const ServerDumps::Check check = ServerDumps::check(ctx_.dm.server(), chosen);
    if (!check.failure.isEmpty()) {
        abandonWith(QStringLiteral("数据恢复失败！\r") + check.failure);
        return;
    }
    if (!check.refusal.isEmpty()) {
        abandonWith(check.refusal);
        return;
    }
    if (!check.sound) {
        abandonWith(kNotADatabase);
        return;
    }
    ctx_.host.showModeless(progress_, false);
    progress_.beginSteps(check.tables);
    // As after a file restore, the program works on a new connection afterwards.
    ctx_.dm.disconnect();
    const std::optional<QString> failure =
        ServerDumps::restore(ctx_.dm.server(), chosen, check, [this] { progress_.advanceStep(); });
    if (failure)
        progress_.abandon();
    else
        progress_.finishSteps();
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
        return;
    }
    // A backup of an older version was brought up to date as it opened.
    if (const int unnamed = ctx_.dm.lastUpgrade().ledgerRowsUnnamed; unnamed > 0)
        ctx_.prompter.information(Messages::ledgerRowsUnnamed(unnamed));
}

} // namespace lms
