#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <vector>

#include "support/EventStream.h"
#include "support/Sleeper.h"
#include "support/ThreadPool.h"

namespace quillo::support {
namespace {

constexpr auto kGuard = std::chrono::seconds(30);

int ownNiceness() {
    return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
}

TEST(ThreadPoolTest, WorkRunsNicerThanThePosterSoTheWindowKeepsItsFrames) {
    const int poster = ownNiceness();
    auto pool = ThreadPool::create(2);
    std::promise<int> worker;
    pool->post([&] { worker.set_value(ownNiceness()); });
    auto niceness = worker.get_future();
    ASSERT_EQ(niceness.wait_for(kGuard), std::future_status::ready);
    EXPECT_EQ(niceness.get(), std::min(poster + 10, 19));
}

TEST(ThreadPoolTest, StrandRunsWorkPostedFromManyThreadsOneAtATimeInOrderPerPoster) {
    auto pool = ThreadPool::create(4);
    auto strand = pool->makeStrand();
    constexpr int kPosters = 4;
    constexpr int kPerPoster = 500;
    // Deliberately unsynchronised: only the strand's one-at-a-time guarantee protects them.
    int running = 0;
    int maxRunning = 0;
    std::vector<std::vector<int>> seen(kPosters);
    std::promise<void> finished;
    int total = 0;

    for (int poster = 0; poster < kPosters; ++poster) {
        pool->post([&, poster] {
            for (int i = 0; i < kPerPoster; ++i) {
                strand->post([&, poster, i] {
                    maxRunning = std::max(maxRunning, ++running);
                    seen[static_cast<std::size_t>(poster)].push_back(i);
                    --running;
                    if (++total == kPosters * kPerPoster) {
                        finished.set_value();
                    }
                });
            }
        });
    }
    ASSERT_EQ(finished.get_future().wait_for(kGuard), std::future_status::ready);
    EXPECT_EQ(maxRunning, 1);
    for (const auto& perPoster : seen) {
        ASSERT_EQ(perPoster.size(), static_cast<std::size_t>(kPerPoster));
        EXPECT_TRUE(std::is_sorted(perPoster.begin(), perPoster.end()));
    }
}

TEST(ThreadPoolTest, StreamFedFromPoolThreadsDeliversEveryEventInOrderOnAStrand) {
    auto pool = ThreadPool::create(2);
    constexpr int kCount = 5000;
    auto stream = makeEventStream<int>([&](EventSink<int> sink) {
        pool->post([sink] {
            for (int i = 0; i < kCount; ++i) {
                sink.yield(i);
            }
            sink.finish();
        });
    });
    std::vector<int> received;
    std::promise<void> ended;
    stream.listen(
        pool->makeStrand(), [&](int event) { received.push_back(event); },
        [&](std::optional<Error>) { ended.set_value(); });
    ASSERT_EQ(ended.get_future().wait_for(kGuard), std::future_status::ready);
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kCount));
    EXPECT_TRUE(std::is_sorted(received.begin(), received.end()));
}

TEST(ThreadPoolTest, SteadySleeperEndsWaitsAndCancelsThemEarly) {
    auto pool = ThreadPool::create(2);
    auto sleeper = makeSteadySleeper(pool);

    std::promise<bool> shortWait;
    sleeper->sleep(std::chrono::milliseconds(1), {},
                   [&](Status status) { shortWait.set_value(status.ok()); });
    auto shortResult = shortWait.get_future();
    ASSERT_EQ(shortResult.wait_for(kGuard), std::future_status::ready);
    EXPECT_TRUE(shortResult.get());

    // An hour-long wait must end as soon as it is cancelled.
    CancellationSource source;
    std::promise<bool> cancelledWait;
    sleeper->sleep(std::chrono::hours(1), source.token(), [&](Status status) {
        cancelledWait.set_value(!status.ok() && status.error().isCancellation());
    });
    source.cancel();
    auto cancelledResult = cancelledWait.get_future();
    ASSERT_EQ(cancelledResult.wait_for(kGuard), std::future_status::ready);
    EXPECT_TRUE(cancelledResult.get());
}

}  // namespace
}  // namespace quillo::support
