#pragma once

namespace lms {

class Tdm_Dbase;
class Prompter;
class ScreenHost;
class FormModel;

// Reaches a usable database before the main window shows: creates it on the first start (after
// the super user has been chosen) and opens it; any failure ends the program with the file as it
// was.
class Startup {
public:
    Startup(Tdm_Dbase& dm, Prompter& prompter, ScreenHost& host, FormModel& superUserSetup)
        : dm_(dm), prompter_(prompter), host_(host), setup_(superUserSetup) {}

    // False when the program is to end.
    bool openDatabase();

private:
    Tdm_Dbase& dm_;
    Prompter& prompter_;
    ScreenHost& host_;
    FormModel& setup_;
};

} // namespace lms
