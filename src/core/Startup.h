#pragma once

#include "storage/jet/Tfrm_JetReport.h"

#include <QString>

namespace lms {

class Tdm_Dbase;
class Prompter;
class ScreenHost;
class FormModel;

// Reaches a usable database before the main window shows: creates it on the first start (after
// the super user has been chosen), moves in a shop whose file is still the old engine's Jet 4.0
// file (at the shop owner's word), and opens it; any failure ends the program with the file as
// it was.
class Startup {
public:
    Startup(Tdm_Dbase& dm, Prompter& prompter, ScreenHost& host, FormModel& superUserSetup)
        : dm_(dm), prompter_(prompter), host_(host), setup_(superUserSetup) {}

    // False when the program is to end. Tells the clerk when bringing the shop up to date left
    // ledger records without their reader and book.
    bool openDatabase();

    // That message, for `count` records.
    static QString ledgerRowsUnnamed(int count);

    // The report shown after a shop was moved in from its Jet 4.0 file.
    Tfrm_JetReport& jetReport() { return jetReport_; }

private:
    Tdm_Dbase& dm_;
    Prompter& prompter_;
    ScreenHost& host_;
    FormModel& setup_;
    Tfrm_JetReport jetReport_;
};

} // namespace lms
