#include "admin/BackgroundCheck.h"

#include <cstring>

namespace lms {

namespace {

// However far the check falls behind, the blocks waiting for it hold a few megabytes at most.
constexpr std::size_t kMostWaiting = 8;

} // namespace

BackgroundCheck::BackgroundCheck(std::unique_ptr<CopyCheck> check)
    : check_(std::move(check)), thread_([this] { checkBlocks(); }) {}

BackgroundCheck::~BackgroundCheck() {
    stop(true);
}

bool BackgroundCheck::accept(QByteArrayView bytes) {
    QByteArray block;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !sound_ || waiting_.size() < kMostWaiting; });
        if (!sound_)
            return false;
        if (!spare_.empty()) {
            block = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    block.resize(bytes.size());
    std::memcpy(block.data(), bytes.data(), static_cast<std::size_t>(bytes.size()));
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(block));
    }
    changed_.notify_all();
    return true;
}

bool BackgroundCheck::complete() {
    stop(false);
    return sound_ && check_->complete();
}

void BackgroundCheck::stop(bool discardWaiting) {
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        discard_ = discard_ || discardWaiting;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void BackgroundCheck::checkBlocks() {
    for (;;) {
        QByteArray block;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !waiting_.empty() || ended_; });
            if (waiting_.empty() || discard_ || !sound_)
                return;
            block = std::move(waiting_.front());
            waiting_.pop_front();
        }
        bool sound = false;
        try {
            sound = check_->accept(block);
        } catch (...) {
            // Nothing may leave the thread; a check that could not run found nothing sound.
        }
        {
            const std::lock_guard lock(mutex_);
            sound_ = sound_ && sound;
            spare_.push_back(std::move(block));
        }
        changed_.notify_all();
    }
}

} // namespace lms
