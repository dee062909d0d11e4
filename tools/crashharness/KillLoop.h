#pragma once

#include <QString>

namespace lms::crash {

struct HarnessOptions {
    int kills = 300;
    QString folder; // empty: a temporary folder, kept only when something failed
    quint32 seed = 0;
};

// The parent: makes a shop, then again and again starts a clerk process on it, kills it with
// SIGKILL a random moment after it reported running, and checks the shop it left. Prints one
// line per failure and a summary; returns the process exit code.
int runKillLoop(const HarnessOptions& options);

// Checks a shop left by a run (or by anything else) and prints one line per failure.
int checkShopFolder(const QString& folder);

// The child: works the shop in `folder` at random until it is killed or its parent is gone.
int runClerk(const QString& folder, quint32 seed);

} // namespace lms::crash
