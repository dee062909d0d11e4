// lms_move: moves the shop between the file beside the program and a server database.
#include "storage/ShopMoveCommand.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return lms::ShopMoveCommand::run(QCoreApplication::arguments(),
                                     QCoreApplication::applicationDirPath() + QLatin1Char('/'), out,
                                     err);
}
