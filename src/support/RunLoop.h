#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "support/Executor.h"

namespace quillo::support {

/// The main thread of a program without a toolkit: work posted from any thread runs on the
/// thread that calls `runUntil`, which sleeps while there is nothing to do.
class RunLoop final : public MainExecutor {
  public:
    void post(std::function<void()> work) override;

    /// Runs posted work, waiting for more, until `finished` answers true; it is asked before
    /// each item.
    void runUntil(const std::function<bool()>& finished);

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace quillo::support
