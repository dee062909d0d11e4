// A run reaches its own database on the server the caller named, whatever form the caller's
// connection string has.

#include "ServerShop.h"

#include "core/DbError.h"

#include <gtest/gtest.h>

namespace lms::crash {
namespace {

TEST(ServerShopTest, TheDatabaseNamedIsReplacedInEitherForm) {
    for (const QString& given : {QStringLiteral("host=/tmp/pg user=postgres dbname=shop"),
                                 QStringLiteral("postgresql:///shop?host=/tmp/pg&user=postgres")}) {
        const QString result = withDatabase(given, QStringLiteral("lms_crash_1"));
        EXPECT_TRUE(result.contains(QStringLiteral("host='/tmp/pg'"))) << result.toStdString();
        EXPECT_TRUE(result.contains(QStringLiteral("user='postgres'"))) << result.toStdString();
        EXPECT_TRUE(result.endsWith(QStringLiteral(" dbname='lms_crash_1'")))
            << result.toStdString();
        EXPECT_FALSE(result.contains(QStringLiteral("shop"))) << result.toStdString();
    }
}

TEST(ServerShopTest, QuotesAndBackslashesInValuesStayValues) {
    EXPECT_EQ(withDatabase(QStringLiteral("application_name='it\\'s a\\\\b'"),
                           QStringLiteral("postgres")),
              QStringLiteral("application_name='it\\'s a\\\\b' dbname='postgres'"));
}

TEST(ServerShopTest, AnUnreadableConnectionStringIsRefused) {
    EXPECT_THROW(withDatabase(QStringLiteral("host"), QStringLiteral("postgres")), DbError);
}

} // namespace
} // namespace lms::crash
