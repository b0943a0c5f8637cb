#include "support/WaitingExecutor.h"

#include <utility>

namespace quillo::testing {

void WaitingExecutor::post(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    posted_.notify_one();
}

bool WaitingExecutor::runUntil(const std::function<bool()>& finished,
                               std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!finished()) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
                return false;
            }
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
    return true;
}

void WaitingExecutor::runPending() {
    for (;;) {
        std::function<void()> work;
        {
            const std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                return;
            }
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

}  // namespace quillo::testing
