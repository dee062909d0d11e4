#include "core/ServerSettings.h"

#include <QFile>
#include <libpq-fe.h>
#include <optional>

namespace lms::ServerSettings {

namespace {

// libpq reads a database name holding "=" or starting as a URI as a connection string of its own.
bool looksLikeConnection(const char* value) {
    const QByteArrayView text(value);
    return text.contains('=') || text.startsWith("postgresql://") || text.startsWith("postgres://");
}

QString fromArguments(const QStringList& arguments) {
    const QString option = QStringLiteral("--server");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(option + QLatin1Char('=')))
            return arguments[i].mid(option.size() + 1);
        if (arguments[i] == option && i + 1 < arguments.size())
            return arguments[i + 1];
    }
    return {};
}

QString fromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList parts;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).section(QLatin1Char('#'), 0, 0).trimmed();
        if (!line.isEmpty())
            parts << line;
    }
    return parts.join(QLatin1Char(' '));
}

// Whether libpq would find a password or a key's passphrase in the connection: read by libpq's
// own parser, so every form it accepts counts (key words in any case, URI user info and query,
// percent-encoded keys). A database name that is itself a connection string is read too.
// A "passfile" option naming where the password is kept is fine. Nothing when libpq cannot read
// the connection at all.
std::optional<bool> holdsPassword(const QString& connection, int depth = 0) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.toUtf8().constData(), &error);
    PQfreemem(error);
    if (!options)
        return std::nullopt;
    bool found = false;
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        if (!option->val || !*option->val)
            continue;
        const QByteArrayView keyword(option->keyword);
        if (keyword == "password" || keyword == "sslpassword")
            found = true;
        else if (keyword == "dbname" && depth == 0 && looksLikeConnection(option->val))
            found = found || holdsPassword(QString::fromUtf8(option->val), 1).value_or(true);
    }
    PQconninfoFree(options);
    return found;
}

} // namespace

Choice read(const QString& programFolder, const QStringList& arguments) {
    Choice choice;
    choice.connection = fromArguments(arguments).trimmed();
    if (choice.connection.isEmpty())
        choice.connection = fromFile(programFolder + fileName());
    if (choice.connection.isEmpty())
        return choice;
    const std::optional<bool> password = holdsPassword(choice.connection);
    if (!password) {
        // libpq's own words may repeat what was written, a password included: not shown.
        choice.refusal =
            QStringLiteral("数据库服务器的连接设置写得不对，程序不能使用。\r"
                           "请按PostgreSQL的连接设置格式改正，如：host=服务器 dbname=数据库 "
                           "user=用户。");
        choice.connection.clear();
    } else if (*password) {
        choice.refusal = QStringLiteral("数据库服务器的连接设置中写有密码，程序不能使用。\r"
                                        "请删去密码，把它写入PostgreSQL的密码文件（~/.pgpass）。");
        choice.connection.clear();
    }
    return choice;
}

QString withoutSecrets(const QString& connection) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.toUtf8().constData(), &error);
    PQfreemem(error);
    if (!options)
        return {};
    QStringList parts;
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        const QByteArrayView keyword(option->keyword);
        if (!option->val || keyword == "password" || keyword == "sslpassword")
            continue;
        QString value = QString::fromUtf8(option->val);
        // A database name written as a connection string could carry one.
        if (keyword == "dbname" && looksLikeConnection(option->val) &&
            holdsPassword(value, 1).value_or(true))
            continue;
        value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        value.replace(QLatin1Char('\''), QStringLiteral("\\'"));
        parts << QString::fromLatin1(option->keyword) + QStringLiteral("='") + value +
                     QLatin1Char('\'');
    }
    PQconninfoFree(options);
    return parts.join(QLatin1Char(' '));
}

QString unreachable(const QString& serverMessage) {
    // libpq's and the server's words (English unless the desk's or the server's language is
    // Chinese) come after the cause named in the shop owner's terms.
    struct Cause {
        const char* words;
        const char16_t* says;
    };
    static const Cause causes[] = {
        {"password authentication failed", u"服务器拒绝了登录：用户名或密码不对。"},
        {"no password supplied", u"服务器要求密码，但密码文件中没有此用户的密码。"},
        {"does not exist", u"服务器上没有连接设置中所写的数据库或用户。"},
        {"no pg_hba.conf entry", u"服务器不允许本机以此用户连接这个数据库（pg_hba.conf）。"},
        {"could not translate host name", u"找不到连接设置中所写的服务器。"},
        {"timeout expired", u"连接服务器超时。"},
        {"Connection refused", u"服务器没有响应：服务器未启动，或不接受网络连接。"},
        {"No such file or directory", u"服务器没有响应：本机上的服务器未启动。"},
    };
    QString cause;
    for (const Cause& known : causes)
        if (serverMessage.contains(QLatin1String(known.words), Qt::CaseInsensitive)) {
            cause = QString::fromUtf16(known.says) + QLatin1Char('\r');
            break;
        }
    return QStringLiteral("无法连接数据库服务器！\r") + cause + serverMessage.trimmed() +
           QStringLiteral("\r请检查：服务器是否已启动，网络是否连通，") + fileName() +
           QStringLiteral("中的连接设置是否正确，密码文件中是否有此用户的密码。");
}

} // namespace lms::ServerSettings
