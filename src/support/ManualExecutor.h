#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "support/Executor.h"

namespace quillo::support {

/// A queue of work that runs only when its owner says so: the main loop of tests and of the
/// headless report. Posting is thread-safe; running happens on the caller's thread.
class ManualExecutor final : public MainExecutor {
  public:
    void post(std::function<void()> work) override;

    /// Runs the oldest queued item; false when the queue was empty.
    bool runOne();
    /// Runs queued items, including those they post, until the queue is empty. Returns how many
    /// ran.
    std::size_t runAll();
    [[nodiscard]] std::size_t pendingCount() const;

  private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace quillo::support
