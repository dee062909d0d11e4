#pragma once

namespace lms {

class FormModel;

// Shows screens on behalf of other screens: the widgets in the program, a script in tests.
class ScreenHost {
public:
    virtual ~ScreenHost() = default;
    // Runs the screen's FormShow, shows it modally and returns when it has closed.
    virtual void showModal(FormModel& screen) = 0;
    // Shows the screen without waiting; kept above the other windows when asked.
    virtual void showModeless(FormModel& screen, bool stayOnTop) = 0;
    // Shows the window of a screen being shown modally while its FormShow is still at work, so
    // what it lists appears as it comes.
    virtual void reveal(FormModel&) {}
    // Lets the windows repaint and take the clerk's clicks in the middle of a screen's long
    // work; false once the screen's window has been closed meanwhile.
    virtual bool breathe(FormModel&) { return true; }
    // Ends the application.
    virtual void quit() = 0;
    virtual bool quitting() const = 0;
};

} // namespace lms
