#include "core/widgets/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>

namespace lms {

void nameChineseWhereNoLanguageIsNamed() {
    QByteArray named;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        named = qgetenv(variable);
        if (!named.isEmpty())
            break;
    }
    if (!named.isEmpty() && named != "C" && !named.startsWith("C.") && named != "POSIX")
        return;
    // The C library takes its setting from the environment as it is; the application's own
    // call then fails on the name below and leaves that setting (and its UTF-8) in place.
    std::setlocale(LC_ALL, "");
    qputenv("LC_ALL", "zh_CN.UTF-8");
}

bool installChineseQtTranslations(QCoreApplication& app) {
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    // Widgets that format dates and numbers by themselves (the file dialog's 修改日期 column,
    // the print dialog's page ranges) follow the default locale.
    QLocale::setDefault(chinese);
    // qtbase holds the dialogs' texts; the translator lives as long as the application.
    auto* translator = new QTranslator(&app);
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace lms
