#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <asio/strand.hpp>

#include "support/Sleeper.h"
#include "support/ThreadPool.h"

namespace quillo::support {

namespace {

// One wait: the timer lives on its own strand, because a timer may not be cancelled from
// another thread while it waits.
struct PendingWait {
    explicit PendingWait(asio::thread_pool& pool)
        : strand(asio::make_strand(pool.get_executor())), timer(strand) {}
    asio::strand<asio::thread_pool::executor_type> strand;
    asio::steady_timer timer;
    CancellationRegistration registration;
};

class SteadySleeper final : public Sleeper {
  public:
    explicit SteadySleeper(std::shared_ptr<ThreadPool> pool) : pool_(std::move(pool)) {}

    void sleep(std::chrono::milliseconds duration, CancellationToken token,
               Completion<Unit> done) override {
        auto wait = std::make_shared<PendingWait>(pool_->context());
        asio::post(wait->strand, [wait, duration, token, done = std::move(done)]() mutable {
            wait->timer.expires_after(duration);
            wait->timer.async_wait([wait, token, done = std::move(done)](std::error_code) {
                wait->registration = {};
                if (token.isCancelled()) {
                    done(Error::cancelled());
                } else {
                    done(Unit{});
                }
            });
            std::weak_ptr<PendingWait> weak = wait;
            wait->registration = token.onCancel([weak] {
                if (auto pending = weak.lock()) {
                    asio::post(pending->strand, [pending] { pending->timer.cancel(); });
                }
            });
        });
    }

  private:
    std::shared_ptr<ThreadPool> pool_;
};

}  // namespace

std::shared_ptr<Sleeper> makeSteadySleeper(std::shared_ptr<ThreadPool> pool) {
    return std::make_shared<SteadySleeper>(std::move(pool));
}

}  // namespace quillo::support
