#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "support/Executor.h"

namespace quillo::testing {

/// The main thread of a test whose work ends on other threads, such as real child processes:
/// work posted from anywhere runs on the test's thread inside `runUntil`, which waits for it
/// without polling, but never beyond its patience, so that a lost completion fails the test
/// instead of hanging it.
class WaitingExecutor final : public support::MainExecutor {
  public:
    void post(std::function<void()> work) override;

    /// Runs posted work until `finished` answers true (asked before each item and after the
    /// last); false when the patience ran out first.
    bool runUntil(const std::function<bool()>& finished,
                  std::chrono::milliseconds patience = std::chrono::seconds(20));

    /// Runs what is queued, and what that posts, without waiting for more. Owners call it before
    /// they go, since queued work may hold what holds this executor.
    void runPending();

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace quillo::testing
