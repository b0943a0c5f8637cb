#include "support/ManualSleeper.h"

#include <algorithm>

namespace quillo::testing {

struct ManualSleeper::Wait {
    support::Completion<support::Unit> done;
    support::CancellationRegistration registration;
    bool ended = false;
};

void ManualSleeper::sleep(std::chrono::milliseconds duration, support::CancellationToken token,
                          support::Completion<support::Unit> done) {
    auto wait = std::make_shared<Wait>();
    wait->done = std::move(done);
    {
        std::lock_guard lock(mutex_);
        requested_.push_back(duration);
        pending_.push_back(wait);
    }
    std::weak_ptr<Wait> weak = wait;
    wait->registration = token.onCancel([this, weak] {
        auto cancelled = weak.lock();
        if (!cancelled) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            if (cancelled->ended) {
                return;
            }
            cancelled->ended = true;
            std::erase(pending_, cancelled);
        }
        cancelled->done(support::Error::cancelled());
    });
}

void ManualSleeper::elapseAll() {
    std::vector<std::shared_ptr<Wait>> due;
    {
        std::lock_guard lock(mutex_);
        due.swap(pending_);
        for (auto& wait : due) {
            wait->ended = true;
        }
    }
    for (auto& wait : due) {
        wait->registration = {};
        wait->done(support::Unit{});
    }
}

std::size_t ManualSleeper::pendingCount() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

std::vector<std::chrono::milliseconds> ManualSleeper::requestedDurations() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

}  // namespace quillo::testing
