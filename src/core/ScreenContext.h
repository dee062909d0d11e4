#pragma once

namespace lms {

class Tdm_Dbase;
struct PubData;
class Prompter;
class Clock;
class ScreenHost;

// What every screen is handed at creation: the data module, the shared values, the boxes, the
// clock and the host that shows other screens.
struct ScreenContext {
    Tdm_Dbase& dm;
    PubData& pub;
    Prompter& prompter;
    const Clock& clock;
    ScreenHost& host;
};

} // namespace lms
