#pragma once

#include <chrono>
#include <memory>

#include "support/CancellationToken.h"
#include "support/Result.h"

namespace quillo::support {

class ThreadPool;

/// Waits on a monotonic clock without holding a thread. The wait completes with the
/// cancellation error as soon as its token is cancelled.
class Sleeper {
  public:
    virtual ~Sleeper() = default;
    virtual void sleep(std::chrono::milliseconds duration, CancellationToken token,
                       Completion<Unit> done) = 0;
};

/// Timers of the shared pool, on the steady clock. Completions run on a pool thread.
std::shared_ptr<Sleeper> makeSteadySleeper(std::shared_ptr<ThreadPool> pool);

}  // namespace quillo::support
