#pragma once

#include <functional>
#include <memory>

namespace quillo::support {

/// Something that runs posted work later, never inside post itself.
class Executor {
  public:
    virtual ~Executor() = default;
    virtual void post(std::function<void()> work) = 0;
};

using ExecutorRef = std::shared_ptr<Executor>;

/// The executor of the main thread: the toolkit's event loop in the app, a queue driven by the
/// test in tests. View models only ever run on it.
class MainExecutor : public Executor {};

}  // namespace quillo::support
