#pragma once

#include <QStringList>

namespace lms::crash {

// Kills the move of a shop's Jet 4.0 "dbase.zqd" into the encrypted file again and again, at
// random moments and at each of its named steps, and checks the folder after every kill: it
// holds either the Jet file as it was (and the next start moves it in) or the moved shop beside
// the original kept byte for byte, never a folder without a database.
//   lms_crashharness jet-move --jet FILE --reader LMS_MOVE [--kills N] [--seed S]
//   lms_crashharness jet-move-child --folder DIR --reader LMS_MOVE [--stop-at STEP]
// Returns the process exit code.
int runJetMoveKills(const QStringList& arguments);
int runJetMoveChild(const QStringList& arguments);

} // namespace lms::crash
