#pragma once

#include <QString>

namespace lms::crash {

struct HarnessOptions {
    int kills = 300;
    QString folder; // empty: a temporary folder, kept only when something failed
    quint32 seed = 0;
    // The shop on a PostgreSQL server (a libpq connection string) instead of the file.
    QString server;
    int clerks = 4;         // clerk processes working the server database at once
    int killsPerCheck = 10; // kills between two stops of every clerk for the checks
    int thinkMs = 20;       // a server clerk's longest pause between look-up and button
    QString cluster;        // the server's cluster folder, for stopping it abruptly
    int restarts = 0;       // abrupt stops and starts of the server in a run
    int process = 0;        // a server clerk's own number (1, 2, …) in its run
};

// The parent: makes a shop, then again and again starts a clerk process on it, kills it with
// SIGKILL a random moment after it reported running, and checks the shop it left. Prints one
// line per failure and a summary; returns the process exit code.
int runKillLoop(const HarnessOptions& options);

// Checks a shop left by a run (or by anything else) and prints one line per failure: the file in
// `folder`, or the database `server` names.
int checkShopAt(const QString& folder, const QString& server);

// The child: works the shop in `folder` at random until it is killed or its parent is gone.
int runClerk(const QString& folder, quint32 seed);

} // namespace lms::crash
