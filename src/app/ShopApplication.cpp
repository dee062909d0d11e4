#include "app/ShopApplication.h"
#include "queries/widgets/CashChartView.h"

#include <QDir>
#include <QMainWindow>

namespace lms {

namespace {

QString withSeparator(const QString& folder) {
    const QString path = QDir(folder).absolutePath();
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

PubData withAppPath(const QString& folder) {
    PubData pub;
    pub.AppPath = withSeparator(folder);
    return pub;
}

} // namespace

ShopApplication::ShopApplication(const QString& programFolder, Prompter& prompter,
                                 const Clock& clock)
    : pub_(withAppPath(programFolder)), prompter_(prompter), dm_(pub_),
      main_(dm_, prompter, clock, host_), context_{dm_, pub_, prompter, clock, host_},
      login_(dm_, prompter, host_, main_), setup_(dm_, prompter), admin_(context_, main_),
      queries_(context_, main_), readers_(context_, main_), books_(context_, main_),
      imports_(context_, main_), circulation_(context_, main_), labels_(context_, main_),
      window_(std::make_unique<MainWindow>(main_)) {
    host_.setMainWindow(&window_->window());
    CashChartView::attach(host_, queries_.QMoneyChart);
    main_.setLoginDialog(login_);
    main_.registerScreen(QStringLiteral("N14"), about_);
    labels_.attach(books_.registration(), queries_.QallBook);
    labels_.attach(readers_.registration(), queries_.QallReader);
    readers_.maintenance().setStatementOpening(
        [this](const QString& id) { queries_.ZHMX.showFor(id); });
}

bool ShopApplication::start() {
    Startup startup(dm_, prompter_, host_, setup_);
    if (!startup.openDatabase())
        return false;
    // The login and the settings come before the main window becomes visible.
    main_.FormShow();
    if (host_.quitting())
        return false;
    window_->window().show();
    return true;
}

} // namespace lms
