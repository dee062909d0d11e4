#include "ShopSession.h"

#include "RandomClerk.h"

#include "core/DbError.h"

#include <QDir>
#include <cstdio>

namespace lms::crash {

namespace {

const QString kUser = QStringLiteral("admin");

} // namespace

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

OpenShop::OpenShop(const QString& folder, const QString& server) : dm(pub) {
    pub.AppPath = QDir(folder).absolutePath() + QLatin1Char('/');
    pub.CurrentUser = kUser;
    if (!server.isEmpty())
        dm.useServer(server);
}

void OpenShop::open() {
    dm.connect();
    if (!dm.ReadSysSet())
        throw DbError(0, "cannot read the settings");
}

void makeShop(const QString& folder, const QString& server, quint32 seed) {
    OpenShop shop(folder, server);
    shop.dm.createDatabase(kUser, QStringLiteral("secret"));
    shop.open();
    RandomClerk clerk(shop.dm, shop.pub, seed);
    for (int i = 0; i < 12; ++i)
        clerk.registerReader();
    for (int i = 0; i < 30; ++i)
        clerk.registerBook();
    for (int i = 0; i < 8; ++i)
        clerk.lend();
    if (clerk.takeDatabaseError())
        throw DbError(0, "the first readers and books could not be stored");
}

} // namespace lms::crash
