#include "app/ShopApplication.h"
#include "core/LocalTimeZone.h"
#include "core/ServerSettings.h"
#include "core/widgets/Artwork.h"
#include "core/widgets/QtTranslations.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    lms::pinLocalTimeZone();
    lms::nameChineseWhereNoLanguageIsNamed();
    QApplication app(argc, argv);
    lms::installChineseQtTranslations(app);
    QApplication::setApplicationName(lms::Tfrm_Main::title());
    QApplication::setApplicationVersion(QStringLiteral(LMS_VERSION));
    QApplication::setWindowIcon(lms::Artwork::applicationIcon());

    lms::WidgetPrompter prompter;
    lms::SystemClock clock;
    lms::ShopApplication shop(QApplication::applicationDirPath(), prompter, clock);
    const lms::ServerSettings::Choice server =
        lms::ServerSettings::read(shop.dm().pub().AppPath, QApplication::arguments());
    if (!server.refusal.isEmpty()) {
        prompter.error(server.refusal);
        return 1;
    }
    shop.dm().useServer(server.connection);
    if (!shop.start())
        return shop.host().quitting() ? 0 : 1;
    return QApplication::exec();
}
