// lms_move: moves the shop between the file beside the program, a server database and the old
// engine's Jet 4.0 file; also the child that reads a Jet file for the program ("read-jet",
// "jet-tables"), so that a damaged file can bring down this process and never the program.
#include "storage/ShopMoveCommand.h"
#include "storage/jet/JetReader.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() >= 3 && (arguments[1] == QLatin1String("read-jet") ||
                                  arguments[1] == QLatin1String("jet-tables"))) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            return 3;
        const int code = lms::Jet::writeStream(arguments[2], arguments.mid(3),
                                               arguments[1] == QLatin1String("jet-tables"), out);
        out.flush();
        return code;
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    return lms::ShopMoveCommand::run(
        arguments, QCoreApplication::applicationDirPath() + QLatin1Char('/'), out, err);
}
