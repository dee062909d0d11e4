#pragma once

#include "admin/AdminScreens.h"
#include "books/BookScreens.h"
#include "circulation/CirculationScreens.h"
#include "core/ScreenContext.h"
#include "core/Startup.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/pubdata.h"
#include "core/screens/SuperUserSetup.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "core/screens/Tfrm_about.h"
#include "core/widgets/MainWindow.h"
#include "core/widgets/WidgetHost.h"
#include "core/widgets/WidgetPrompter.h"
#include "imports/ImportScreens.h"
#include "labels/LabelScreens.h"
#include "queries/QueryScreens.h"
#include "readers/ReaderScreens.h"

#include <memory>

namespace lms {

// The whole program: the shared values, the data module and every screen, created once in a
// fixed order and kept until the program ends, with the widgets that show them.
class ShopApplication {
public:
    // `programFolder` is where the program file and "dbase.zqd" live.
    ShopApplication(const QString& programFolder, Prompter& prompter, const Clock& clock);

    // Reaches the database (creating it on the first start), shows the main window after the
    // login; false when the program is to end instead.
    bool start();

    PubData& pub() { return pub_; }
    Tdm_Dbase& dm() { return dm_; }
    WidgetHost& host() { return host_; }
    Tfrm_Main& mainModel() { return main_; }
    TfrmLogin& login() { return login_; }
    SuperUserSetup& superUserSetup() { return setup_; }
    QMainWindow& mainWindow() { return window_->window(); }

private:
    PubData pub_;
    WidgetHost host_;
    Prompter& prompter_;
    Tdm_Dbase dm_;
    Tfrm_Main main_;
    ScreenContext context_;
    TfrmLogin login_;
    Tfrm_about about_;
    SuperUserSetup setup_;
    AdminScreens admin_;
    QueryScreens queries_;
    ReaderScreens readers_;
    BookScreens books_;
    ImportScreens imports_;
    CirculationScreens circulation_;
    LabelScreens labels_;
    // Declared last, so the windows go before the screens they show.
    std::unique_ptr<MainWindow> window_;
};

} // namespace lms
