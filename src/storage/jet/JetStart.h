#pragma once

#include "storage/jet/Tfrm_JetReport.h"

#include <QString>

namespace lms {

class Prompter;
class ScreenHost;

// The first start of a shop whose "dbase.zqd" is still the old engine's Jet 4.0 file: says what
// the file holds, asks whether to move it in, moves it (JetArrival) and shows the report.
class JetStart {
public:
    JetStart(Prompter& prompter, ScreenHost& host, Tfrm_JetReport& report)
        : prompter_(prompter), host_(host), report_(report) {}

    enum class Outcome {
        NoJetFile, // the folder's database is not a Jet file: start as usual
        Moved,     // moved in: the new file is in place
        Ended,     // declined, refused or failed: the program ends, the folder as it was
    };
    Outcome run(const QString& folder);

private:
    Prompter& prompter_;
    ScreenHost& host_;
    Tfrm_JetReport& report_;
};

} // namespace lms
