#include "core/widgets/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lms {

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
