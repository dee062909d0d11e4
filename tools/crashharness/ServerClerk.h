#pragma once

#include <QString>

namespace lms::crash {

struct HarnessOptions;

// The journal of clerk process `process` in the run's folder.
QString journalPath(const QString& folder, int process);
// The desk (millisecond of every moment) of clerk process `process`: 1–999, never the shop's
// first rows' 0.
int deskOf(int process);

// A clerk process on the server shop: works it at random beside the others until it is killed
// or its parent is gone, journals what it saw committed and every "连接数据库出错!" it was shown,
// and when the server went away, waits for it and opens the shop again, as a desk restarted by
// its clerk would.
int runServerClerk(const HarnessOptions& options);

} // namespace lms::crash
