#pragma once

#include <asio/thread_pool.hpp>
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

#include "support/Executor.h"

namespace quillo::support {

/// The shared pool of worker threads. Posting to the pool runs work in parallel; a strand made
/// from it runs its work one item at a time, which is what every serialised object uses.
/// Its threads run at a background priority. The owner destroys the pool from outside it, after
/// everything that posts to it.
class ThreadPool final : public Executor {
  public:
    static std::shared_ptr<ThreadPool> create(std::size_t threads = defaultThreadCount());
    ~ThreadPool() override;

    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    void post(std::function<void()> work) override;

    /// A new serialised context on this pool.
    ExecutorRef makeStrand();

    asio::thread_pool& context() { return pool_; }

    static std::size_t defaultThreadCount();

  private:
    explicit ThreadPool(std::size_t threads);
    // The threads are the pool's own and join it, so that each lowers its priority first.
    asio::thread_pool pool_{0};
    std::vector<std::thread> threads_;
};

}  // namespace quillo::support
