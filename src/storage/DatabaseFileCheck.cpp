#include "storage/DatabaseFileCheck.h"

#include "storage/PageCodes.h"

#include "core/Database.h"
#include "core/Schema.h"
#include "core/Tdm_Dbase.h"

#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace lms {

ShopFileStart openShopDatabase(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {};
    try {
        Database db;
        db.open(path, Tdm_Dbase::kPassword, Database::OpenMode::ReadOnlyCopy);
        const int version = db.userVersion();
        if (version < 1 || version > Schema::currentVersion())
            return {};
        for (const QString& table : Schema::tableNames())
            if (!db.hasTable(table))
                return {};
        // A truncated or damaged copy may still show its schema, so every page is to be checked:
        // by its authentication code where the file has the known page layout (as fast as
        // reading the file), otherwise by the engine's own check (decrypting every page).
        const bool knownLayout =
            db.scalar(QStringLiteral("PRAGMA cipher_version")).toString().startsWith(u'3') &&
            db.scalar(QStringLiteral("PRAGMA page_size")).toInt() == PageCodes::kPageBytes;
        if (knownLayout) {
            const qint64 pages = db.scalar(QStringLiteral("PRAGMA page_count")).toLongLong();
            // A file cut short or padded shows in its size before any page is read.
            if (pages <= 0 || QFileInfo(path).size() != pages * PageCodes::kPageBytes)
                return {};
            return {.opens = true, .uncheckedPages = pages};
        }
        if (db.scalar(QStringLiteral("PRAGMA quick_check")).toString() != QStringLiteral("ok"))
            return {};
        return {.opens = true};
    } catch (const DbError&) {
        return {};
    }
}

bool isShopDatabase(const QString& path) {
    const ShopFileStart start = openShopDatabase(path);
    return start.opens &&
           (start.uncheckedPages == 0 ||
            PageCodes::allPagesAuthentic(path, Tdm_Dbase::kPassword, start.uncheckedPages));
}

bool isSameFile(const QString& a, const QString& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                                  std::filesystem::path(b.toStdU16String()), error);
    return !error && same;
}

} // namespace lms
