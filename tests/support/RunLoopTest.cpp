#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/RunLoop.h"

namespace quillo::support {
namespace {

TEST(RunLoopTest, RunsPostedWorkInOrderUntilFinished) {
    RunLoop loop;
    std::vector<int> ran;
    bool finished = false;
    loop.post([&] { ran.push_back(1); });
    loop.post([&] {
        ran.push_back(2);
        loop.post([&] {
            ran.push_back(3);
            finished = true;
        });
    });
    loop.post([&] { ran.push_back(4); });
    loop.runUntil([&] { return finished; });
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 4, 3}));
}

TEST(RunLoopTest, WaitsForWorkPostedFromAnotherThread) {
    RunLoop loop;
    bool finished = false;
    std::thread::id ranOn;
    std::thread poster([&] {
        loop.post([&] {
            ranOn = std::this_thread::get_id();
            finished = true;
        });
    });
    loop.runUntil([&] { return finished; });
    poster.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(RunLoopTest, ReturnsAtOnceWhenAlreadyFinished) {
    RunLoop loop;
    bool ran = false;
    loop.post([&] { ran = true; });
    loop.runUntil([] { return true; });
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace quillo::support
