#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "support/Executor.h"

namespace quillo::support {

/// Runs asynchronous operations one after another on a serial context (a strand): the next one
/// starts only when the previous one said it is finished, wherever its steps went meanwhile.
/// A strand alone cannot do that once an operation waits for a child process.
class SerialQueue final : public std::enable_shared_from_this<SerialQueue> {
  public:
    using Finished = std::function<void()>;
    /// Starts on the context and calls `finished` exactly once, from any thread.
    using Operation = std::function<void(Finished finished)>;

    static std::shared_ptr<SerialQueue> create(ExecutorRef context);
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    /// Thread-safe; operations start in the order they were enqueued.
    void enqueue(Operation operation);

  private:
    explicit SerialQueue(ExecutorRef context) : context_(std::move(context)) {}
    void startNext();

    ExecutorRef context_;
    // Touched on the context only.
    std::deque<Operation> waiting_;
    bool running_ = false;
};

}  // namespace quillo::support
