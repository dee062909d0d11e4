// lms_crashharness [parent] [--kills N] [--folder DIR] [--seed S] [server options]: kills clerk
// processes working a shop database again and again and checks that the database is whole.
// lms_crashharness child … is a clerk it starts; lms_crashharness check checks a shop it left.

#include "JetMoveKills.h"
#include "KillLoop.h"
#include "ServerClerk.h"
#include "ServerKillLoop.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: lms_crashharness [parent] [--kills N] [--folder DIR] [--seed S]\n"
        "           [--server CONNINFO [--clerks N] [--kills-per-check K] [--think MS]\n"
        "            [--restart-server CLUSTER_DIR [--restarts R]]]\n"
        "       lms_crashharness check (--folder DIR | --server CONNINFO)\n"
        "       lms_crashharness jet-move --jet FILE --reader LMS_MOVE [--kills N] [--seed S]\n"
        "\n"
        "Without --server the shop is an encrypted file in DIR (a temporary folder by default)\n"
        "and one clerk process at a time works it; the database is checked after each kill.\n"
        "\n"
        "--server CONNINFO  the shop on a PostgreSQL server (a libpq connection string). With a\n"
        "                   dbname it must name an empty database, which is used and left;\n"
        "                   without one the run creates a database lms_crash_<pid> of its own\n"
        "                   (the login needs CREATEDB) and drops it at the end unless something\n"
        "                   failed. DIR then holds the clerks' journals.\n"
        "--clerks N         clerk processes working the database at once (4)\n"
        "--kills-per-check K  after every K kills all clerks are stopped and the whole\n"
        "                   database and the journals are checked (10)\n"
        "--think MS         a clerk's longest pause between looking up and pressing (20)\n"
        "--restart-server CLUSTER_DIR  the server's cluster folder (DIR/data, DIR/server.log,\n"
        "                   as tests/server/pg-cluster.sh makes it): R times (1) during the run\n"
        "                   the server is stopped with pg_ctl -m immediate and started again\n"
        "                   while the clerks work (as the postgres user when run as root);\n"
        "                   commits on the run's database are made to wait for the server's log.\n"
        "\n"
        "jet-move           kills the move of a Jet 4.0 dbase.zqd (a copy of FILE, read by the\n"
        "                   lms_move LMS_MOVE) at each of its steps and at random moments,\n"
        "                   and checks the folder after each kill\n"
        "\n"
        "internal: lms_crashharness child --folder DIR --seed S\n"
        "          lms_crashharness jet-move-child --folder DIR --reader LMS_MOVE [--stop-at "
        "STEP]\n"
        "          lms_crashharness child --server CONNINFO --folder DIR --seed S --process N\n"
        "                           --think MS\n");
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
    if (mode == QLatin1String("jet-move"))
        return lms::crash::runJetMoveKills(args);
    if (mode == QLatin1String("jet-move-child"))
        return lms::crash::runJetMoveChild(args);
    lms::crash::HarnessOptions options;
    options.seed = std::random_device()();
    bool restartsGiven = false;
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
        else if (name == QLatin1String("--server"))
            options.server = value;
        else if (name == QLatin1String("--clerks"))
            options.clerks = value.toInt(&ok);
        else if (name == QLatin1String("--kills-per-check"))
            options.killsPerCheck = value.toInt(&ok);
        else if (name == QLatin1String("--think"))
            options.thinkMs = value.toInt(&ok);
        else if (name == QLatin1String("--restart-server"))
            options.cluster = value;
        else if (name == QLatin1String("--restarts")) {
            options.restarts = value.toInt(&ok);
            restartsGiven = true;
        } else if (name == QLatin1String("--process"))
            options.process = value.toInt(&ok);
        else
            return usage();
        if (!ok)
            return usage();
    }
    if (!options.cluster.isEmpty() && !restartsGiven)
        options.restarts = 1;
    const bool onServer = !options.server.isEmpty();
    if (options.kills < 0 || options.clerks < 1 || options.killsPerCheck < 1 ||
        options.thinkMs < 0 || options.restarts < 0 || options.restarts > options.kills ||
        (options.restarts > 0 && (options.cluster.isEmpty() || !onServer)))
        return usage();
    if (mode == QLatin1String("parent"))
        return onServer ? lms::crash::runServerKillLoop(options) : lms::crash::runKillLoop(options);
    if (mode == QLatin1String("check") && (onServer || !options.folder.isEmpty()))
        return lms::crash::checkShopAt(options.folder, options.server);
    if (options.folder.isEmpty())
        return usage();
    if (mode == QLatin1String("child") && onServer && options.process > 0)
        return lms::crash::runServerClerk(options);
    if (mode == QLatin1String("child"))
        return lms::crash::runClerk(options.folder, options.seed);
    return usage();
}
