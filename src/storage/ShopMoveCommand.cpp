#include "storage/ShopMoveCommand.h"

#include "core/ServerSettings.h"
#include "storage/ShopMove.h"
#include "storage/jet/JetArrival.h"
#include "storage/jet/JetFormat.h"

#include <QFile>
#include <QFileInfo>

#include <QDir>
#include <optional>

namespace lms::ShopMoveCommand {

namespace {

struct Request {
    bool toServer = true;
    QString jetFile; // from-jet: the Jet 4.0 file to move in
    QString folder;  // ends with a separator
    QString connection;
};

std::optional<Request> parse(const QStringList& arguments, const QString& programFolder) {
    if (arguments.size() < 2)
        return std::nullopt;
    Request request;
    qsizetype first = 2;
    if (arguments[1] == QLatin1String("to-file")) {
        request.toServer = false;
    } else if (arguments[1] == QLatin1String("from-jet")) {
        if (arguments.size() < 3 || arguments[2].startsWith(QLatin1String("--")))
            return std::nullopt;
        request.jetFile = QDir(arguments[2]).absolutePath();
        first = 3;
    } else if (arguments[1] != QLatin1String("to-server")) {
        return std::nullopt;
    }
    QString folder = programFolder;
    const QString option = QStringLiteral("--folder");
    for (qsizetype i = first; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == option && i + 1 < arguments.size())
            folder = arguments[++i];
        else if (argument.startsWith(option + QLatin1Char('=')))
            folder = argument.mid(option.size() + 1);
        else if (argument.startsWith(QLatin1String("--")) || !request.connection.isEmpty())
            return std::nullopt;
        else
            request.connection = argument;
    }
    request.folder = QDir(folder).absolutePath() + QLatin1Char('/');
    if (!request.jetFile.isEmpty())
        request.toServer = !request.connection.isEmpty();
    return request;
}

// The settings' messages part their lines as message boxes do; a terminal wants line feeds.
QString consoleText(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString nothingChanged(const Request& request) {
    return request.toServer
               ? QStringLiteral("没有移动任何数据，文件和服务器上的数据库都保持原样。")
               : QStringLiteral(
                     "没有移动任何数据，服务器上的数据库保持原样，也没有生成新的数据库文件。");
}

void move(const Request& request, Database& server, QTextStream& out) {
    const QString file = QDir::toNativeSeparators(request.folder + Tdm_Dbase::kFileName);
    if (request.toServer) {
        const ShopMove::Moved moved = ShopMove::toServer(request.folder, server);
        out << QStringLiteral("已把文件 %1 中本店的数据移到数据库服务器（%2）：\n")
                   .arg(file, request.connection)
            << ShopMove::describe(moved) << '\n'
            << QStringLiteral("文件 %1 保持原样。在每台电脑的程序文件夹中写入 server.conf "
                              "后，程序就使用服务器上的数据。\n")
                   .arg(file);
    } else {
        const ShopMove::Moved moved = ShopMove::toFile(server, request.folder);
        out << QStringLiteral("已把数据库服务器（%1）上本店的数据移到新文件 %2：\n")
                   .arg(request.connection, file)
            << ShopMove::describe(moved) << '\n'
            << QStringLiteral("服务器上的数据保持原样。删去程序文件夹中的 server.conf "
                              "后，程序就使用这个文件。\n");
    }
}

// The report of a move from a Jet file, printed and saved beside the database.
void reportJetMove(const Request& request, const JetMove::Report& report, const QString& target,
                   QTextStream& out) {
    const QString text =
        JetMove::reportText(report, QDir::toNativeSeparators(request.jetFile), QString());
    out << QStringLiteral("已把 Jet 4.0 数据库文件 %1 中本店的数据移到%2。\n")
               .arg(QDir::toNativeSeparators(request.jetFile), target)
        << text;
    QFile saved(request.folder + JetArrival::reportName());
    if (saved.open(QIODevice::WriteOnly | QIODevice::Truncate) && saved.write(text.toUtf8()) >= 0)
        out << QStringLiteral("报告已保存为 %1。\n")
                   .arg(QDir::toNativeSeparators(saved.fileName()));
}

int moveFromJet(const Request& request, QTextStream& out, QTextStream& err) {
    const JetFormat::Probe probe = JetFormat::probe(request.jetFile);
    if (probe.kind != JetFormat::Kind::Jet4) {
        err << (probe.kind == JetFormat::Kind::NotJet
                    ? QStringLiteral("文件 %1 不是 Jet 4.0 数据库文件。")
                          .arg(QDir::toNativeSeparators(request.jetFile))
                    : consoleText(JetFormat::refusal(probe)))
            << '\n';
        return 1;
    }
    try {
        if (request.toServer) {
            Database server;
            server.openServer(request.connection);
            const JetMove::Report report = JetMove::carry(request.jetFile, server);
            reportJetMove(request, report,
                          QStringLiteral("数据库服务器（%1）").arg(request.connection), out);
        } else {
            const QString path = request.folder + Tdm_Dbase::kFileName;
            if (QFileInfo::exists(path))
                throw ShopMove::Failure(
                    QStringLiteral("文件夹中已有数据库文件 %1，为免覆盖其中的数据，没有移动。"
                                   "请先把它移走或改名。")
                        .arg(QDir::toNativeSeparators(path)));
            const JetMove::Report report = JetArrival::moveToNewFile(request.jetFile, path);
            reportJetMove(request, report,
                          QStringLiteral("新文件 %1").arg(QDir::toNativeSeparators(path)), out);
        }
        return 0;
    } catch (const ShopMove::Failure& failure) {
        err << consoleText(failure.message()) << '\n';
    } catch (const DbError& error) {
        err << consoleText(ServerSettings::unreachable(QString::fromStdString(error.what())))
            << '\n';
    }
    err << QStringLiteral("没有移动任何数据，Jet 文件保持原样。\n");
    return 1;
}

} // namespace

QString usage() {
    return QStringLiteral(
        "用法：\n"
        "  lms_move to-server [--folder 文件夹] ['连接']\n"
        "      把文件夹中的 dbase.zqd 移到数据库服务器上新建的空数据库\n"
        "  lms_move to-file [--folder 文件夹] ['连接']\n"
        "      把数据库服务器上的数据移到文件夹中新的 dbase.zqd\n"
        "  lms_move from-jet 文件 [--folder 文件夹] ['连接']\n"
        "      把旧版 Jet 4.0 数据库文件移到数据库服务器上新建的空数据库；不写连接时移到文件夹"
        "中新的 dbase.zqd\n"
        "文件夹默认为程序所在的文件夹。连接按 PostgreSQL（libpq）的写法，如 "
        "'host=192.168.1.10 dbname=shop user=shop'，默认为文件夹中 server.conf 的设置；"
        "密码不写在连接中，而写入 ~/.pgpass。");
}

int run(const QStringList& arguments, const QString& programFolder, QTextStream& out,
        QTextStream& err) {
    std::optional<Request> request = parse(arguments, programFolder);
    if (!request) {
        err << usage() << '\n';
        return 2;
    }
    if (!request->jetFile.isEmpty() && !request->toServer)
        return moveFromJet(*request, out, err);
    // The same rules as the program's: the folder's settings when none is named, no password.
    const ServerSettings::Choice choice = ServerSettings::read(
        request->folder,
        request->connection.isEmpty()
            ? QStringList()
            : QStringList{arguments[0], QStringLiteral("--server"), request->connection});
    if (!choice.refusal.isEmpty()) {
        err << consoleText(choice.refusal) << '\n' << nothingChanged(*request) << '\n';
        return 1;
    }
    if (choice.connection.isEmpty()) {
        err << QStringLiteral("没有指定数据库服务器。\n") << usage() << '\n';
        return 2;
    }
    request->connection = choice.connection;
    if (!request->jetFile.isEmpty())
        return moveFromJet(*request, out, err);
    Database server;
    try {
        server.openServer(choice.connection);
        move(*request, server, out);
        return 0;
    } catch (const ShopMove::Failure& failure) {
        err << failure.message() << '\n';
    } catch (const DbError& error) {
        err << consoleText(ServerSettings::unreachable(QString::fromStdString(error.what())))
            << '\n';
    }
    err << nothingChanged(*request) << '\n';
    return 1;
}

} // namespace lms::ShopMoveCommand
