#include "admin/DatabaseFileCheck.h"

#include "core/Database.h"
#include "core/Schema.h"
#include "core/Tdm_Dbase.h"

#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace lms {

bool isShopDatabase(const QString& path) {
    if (!QFileInfo(path).isFile())
        return false;
    try {
        Database db;
        db.open(path, Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
        const int version = db.userVersion();
        if (version < 1 || version > Schema::currentVersion())
            return false;
        // A truncated or damaged copy may still show its schema; every page is read here.
        if (db.scalar(QStringLiteral("PRAGMA quick_check")).toString() != QStringLiteral("ok"))
            return false;
        for (const QString& table : Schema::tableNames())
            if (!db.hasTable(table))
                return false;
        return true;
    } catch (const DbError&) {
        return false;
    }
}

bool isSameFile(const QString& a, const QString& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                                  std::filesystem::path(b.toStdU16String()), error);
    return !error && same;
}

} // namespace lms
