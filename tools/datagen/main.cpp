// lms_datagen small|large <folder>: writes <folder>/dbase.zqd (super user admin / secret)
// filled to the size of a small or a large shop, for the benchmarks.

#include "ShopGenerator.h"

#include "core/DbError.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 ||
        (args[1] != QLatin1String("small") && args[1] != QLatin1String("large"))) {
        std::fprintf(stderr, "usage: lms_datagen small|large <folder>\n");
        return 2;
    }
    const auto size = args[1] == QLatin1String("small") ? lms::datagen::ShopSize::small()
                                                        : lms::datagen::ShopSize::large();
    QDir().mkpath(args[2]);
    // A fixed "now" keeps the files alike from run to run; the benchmarks use the same moment.
    const QDateTime now(QDate(2026, 12, 1), QTime(10, 0));
    try {
        lms::datagen::generateShop(QDir(args[2]).absolutePath(), size, now);
    } catch (const lms::DbError& error) {
        std::fprintf(stderr, "lms_datagen: %s\n", error.what());
        return 1;
    }
    return 0;
}
