#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <vector>

#include "support/Sleeper.h"

namespace quillo::testing {

/// A sleeper whose waits end when the test says so. A cancelled wait ends at once with the
/// cancellation error, as a real timer's does.
class ManualSleeper final : public support::Sleeper {
  public:
    void sleep(std::chrono::milliseconds duration, support::CancellationToken token,
               support::Completion<support::Unit> done) override;

    /// Ends every wait that is still pending, successfully.
    void elapseAll();
    [[nodiscard]] std::size_t pendingCount() const;
    /// Every duration asked for so far, in order.
    [[nodiscard]] std::vector<std::chrono::milliseconds> requestedDurations() const;

  private:
    struct Wait;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Wait>> pending_;
    std::vector<std::chrono::milliseconds> requested_;
};

}  // namespace quillo::testing
