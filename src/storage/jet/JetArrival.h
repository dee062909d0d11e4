#pragma once

#include "storage/jet/JetMove.h"

#include <QString>

namespace lms::JetArrival {

// A shop folder whose "dbase.zqd" is still the old engine's Jet 4.0 file becomes one with this
// program's encrypted file. The original is first kept byte for byte under a name of its own,
// the new file is built beside and synced, and only then takes the name "dbase.zqd": a move cut
// short at any moment leaves either the Jet file (asked again at the next start) or the moved
// shop, never a folder without a database.

// The name under which the original is kept beside the new file ("dbase-jet4-原文件.zqd"; a
// later move of another file adds a number rather than overwrite it).
QString keptName();
// The report saved beside the database.
QString reportName();

struct Moved {
    JetMove::Report report;
    QString text;       // the report, as saved
    QString keptPath;   // where the original is kept
    QString reportPath; // where the report was saved (empty when it could not be)
};

// Moves the Jet file "dbase.zqd" of `folder` into a new "dbase.zqd". Throws JetMove::Failure;
// the folder then holds the Jet file as before (and perhaps the kept copy).
Moved moveInPlace(const QString& folder);

// Moves the Jet file `jetFile` into a new encrypted file `path`, which must not exist, built
// beside as "<path>.jet-moving" and named only once checked and synced. Throws JetMove::Failure.
JetMove::Report moveToNewFile(const QString& jetFile, const QString& path);

// For the crash harness: called at each step of a move with its name, so that a test can end the
// process there.
using StepHook = void (*)(const char* step);
void setStepHook(StepHook hook);

} // namespace lms::JetArrival
