#include "support/RunLoop.h"

#include <utility>

namespace quillo::support {

void RunLoop::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    posted_.notify_one();
}

void RunLoop::runUntil(const std::function<bool()>& finished) {
    while (!finished()) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            posted_.wait(lock, [this] { return !queue_.empty(); });
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

}  // namespace quillo::support
