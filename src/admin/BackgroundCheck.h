#pragma once

#include "admin/CopyFiles.h"

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace lms {

// Runs a copy's check on a thread of its own, over copies of the blocks the copy has read: the
// check (hashing every page) and the copy's reading and writing share the machine's cores
// instead of taking turns. A block the check refused ends the copy at the next block; what the
// check has not reached yet is judged when the copy asks whether the source was complete.
class BackgroundCheck : public CopyCheck {
public:
    explicit BackgroundCheck(std::unique_ptr<CopyCheck> check);
    // Stops the thread; blocks still waiting go unchecked.
    ~BackgroundCheck() override;
    BackgroundCheck(const BackgroundCheck&) = delete;
    BackgroundCheck& operator=(const BackgroundCheck&) = delete;

    // Hands the thread a copy of the bytes; false once it found earlier bytes unsound.
    bool accept(QByteArrayView bytes) override;
    // Waits until the thread has checked every block, then asks the check.
    bool complete() override;

private:
    void checkBlocks();
    void stop(bool discardWaiting);

    std::unique_ptr<CopyCheck> check_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QByteArray> waiting_;
    // Blocks checked, kept to take the next ones without allocating.
    std::vector<QByteArray> spare_;
    bool ended_ = false;
    bool discard_ = false;
    bool sound_ = true;
    // Last: it starts once the rest is built.
    std::thread thread_;
};

} // namespace lms
