#include "support/ThreadPool.h"

#include <algorithm>
#include <asio/post.hpp>
#include <asio/strand.hpp>
#include <thread>

#include "support/BackgroundPriority.h"

namespace quillo::support {

namespace {

class Strand final : public Executor {
  public:
    explicit Strand(asio::thread_pool& pool) : strand_(asio::make_strand(pool.get_executor())) {}

    void post(std::function<void()> work) override { asio::post(strand_, std::move(work)); }

  private:
    asio::strand<asio::thread_pool::executor_type> strand_;
};

}  // namespace

std::shared_ptr<ThreadPool> ThreadPool::create(std::size_t threads) {
    return std::shared_ptr<ThreadPool>(new ThreadPool(threads));
}

ThreadPool::ThreadPool(std::size_t threads) {
    threads_.reserve(threads);
    for (std::size_t index = 0; index < threads; ++index) {
        threads_.emplace_back([this] {
            lowerCurrentThreadPriority();
            pool_.attach();
        });
    }
}

ThreadPool::~ThreadPool() {
    // Pending work (waits, abandoned walks) is dropped rather than awaited at shutdown.
    pool_.stop();
    for (auto& thread : threads_) {
        thread.join();
    }
}

void ThreadPool::post(std::function<void()> work) {
    asio::post(pool_, std::move(work));
}

ExecutorRef ThreadPool::makeStrand() {
    return std::make_shared<Strand>(pool_);
}

std::size_t ThreadPool::defaultThreadCount() {
    // Walks spend their time in system calls and, on a cold tree, waiting for the disk: with
    // more requests in flight than cores the disk and the kernel stay busy. On two cores, 16
    // threads walk a cold tree in 0.8 of the time of 4, and a warm one as fast.
    return std::max<std::size_t>(16, std::size_t{std::thread::hardware_concurrency()} * 2);
}

}  // namespace quillo::support
