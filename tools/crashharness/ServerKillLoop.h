#pragma once

namespace lms::crash {

struct HarnessOptions;

// The parent on a server: makes a shop in a server database, starts several clerk processes on
// it at once, kills one of them with SIGKILL at random moments and starts another in its place,
// and every so many kills stops them all and checks the whole database and the clerks' journals
// while no clerk works. With a cluster folder it also stops the server abruptly and starts it
// again while the clerks work. Prints one line per failure and a summary; returns the process
// exit code.
int runServerKillLoop(const HarnessOptions& options);

} // namespace lms::crash
