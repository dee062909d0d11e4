#pragma once

#include "core/ScreenContext.h"
#include "labels/Tfrm_ChooseLabels.h"
#include "labels/Tfrm_PrintLabels.h"

namespace lms {

class Tfrm_Main;
class Tfrm_TJBook;
class Tfrm_TJReader;
class Tfrm_QallBook;
class Tfrm_QallReader;

// The label screens, created once at start-up: "打印图书标签…" and "打印读者证…" of the main
// window's menus, and the label buttons of book and reader registration and of the two
// listings.
class LabelScreens {
public:
    LabelScreens(const ScreenContext& ctx, Tfrm_Main& main);

    // Gives the registration and listing screens their label buttons' way to this screen.
    void attach(Tfrm_TJBook& registration, Tfrm_QallBook& listing);
    void attach(Tfrm_TJReader& registration, Tfrm_QallReader& listing);

    Tfrm_PrintLabels& bookLabels() { return bookLabels_; }
    Tfrm_PrintLabels& readerCards() { return readerCards_; }
    Tfrm_ChooseLabels& bookChoice() { return bookChoice_; }
    Tfrm_ChooseLabels& readerChoice() { return readerChoice_; }

    // The cards of these readers on the label screen; says so when none is stored any more.
    void printCards(const QStringList& readerIds);

private:
    QString shopName() const;

    ScreenContext ctx_;
    Tfrm_PrintLabels bookLabels_;
    Tfrm_PrintLabels readerCards_;
    Tfrm_ChooseLabels bookChoice_;
    Tfrm_ChooseLabels readerChoice_;
};

} // namespace lms
