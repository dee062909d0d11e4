// lms_crashharness [parent] [--kills N] [--folder DIR] [--seed S]: kills a clerk process working
// a shop database again and again and checks after each kill that the database is whole.
// lms_crashharness child --folder DIR --seed S is the clerk it starts; lms_crashharness check
// --folder DIR checks a shop it left.

#include "KillLoop.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

namespace {

int usage() {
    std::fprintf(stderr, "usage: lms_crashharness [parent] [--kills N] [--folder DIR] [--seed S]\n"
                         "       lms_crashharness child --folder DIR --seed S\n"
                         "       lms_crashharness check --folder DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Stored moments are local time; without daylight saving each one is unique.
    setenv("TZ", "UTC", 1);
    tzset();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString mode = QStringLiteral("parent");
    if (!args.isEmpty() && !args.first().startsWith(QLatin1Char('-')))
        mode = args.takeFirst();
    lms::crash::HarnessOptions options;
    options.seed = std::random_device()();
    for (int i = 0; i < args.size(); ++i) {
        if (i + 1 >= args.size())
            return usage();
        const QString& name = args[i];
        const QString& value = args[++i];
        bool ok = true;
        if (name == QLatin1String("--kills"))
            options.kills = value.toInt(&ok);
        else if (name == QLatin1String("--folder"))
            options.folder = value;
        else if (name == QLatin1String("--seed"))
            options.seed = value.toUInt(&ok);
        else
            return usage();
        if (!ok || options.kills < 0)
            return usage();
    }
    if (mode == QLatin1String("parent"))
        return lms::crash::runKillLoop(options);
    if (options.folder.isEmpty())
        return usage();
    if (mode == QLatin1String("child"))
        return lms::crash::runClerk(options.folder, options.seed);
    if (mode == QLatin1String("check"))
        return lms::crash::checkShopFolder(options.folder);
    return usage();
}
