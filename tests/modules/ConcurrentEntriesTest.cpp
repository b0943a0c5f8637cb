#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>
#include <optional>

#include "modules/FilesystemEnumeration.h"
#include "support/ManualExecutor.h"
#include "support/TemporaryDirectory.h"
#include "support/ThreadPool.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using ::quillo::testing::makeFile;
namespace fs = std::filesystem;

class ConcurrentEntriesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFile(temp / "first" / "a.bin", 30'000);
        makeFile(temp / "second.bin", 7000);
        makeFile(temp / "third" / "sub" / "b.bin", 12'000);
    }

    // Starts the run with the test's executor and records each completion.
    void start(std::vector<fs::path> urls, support::CancellationToken token = {}) {
        concurrentEntries(std::move(urls), executor, std::move(token),
                          [this](support::Result<std::vector<FilesystemEntry>> result) {
                              ++completions;
                              outcome.emplace(std::move(result));
                          });
    }

    testing::TemporaryDirectory temp;
    support::ManualExecutor executor;
    int completions = 0;
    std::optional<support::Result<std::vector<FilesystemEntry>>> outcome;
};

TEST_F(ConcurrentEntriesTest, KeepsTheInputOrderAndLeavesOutWhatCannotBeRead) {
    const std::vector<fs::path> urls{temp / "third", temp / "missing", temp / "first",
                                     temp / "second.bin"};
    start(urls);

    EXPECT_EQ(executor.pendingCount(), urls.size());
    EXPECT_EQ(completions, 0);
    executor.runAll();

    ASSERT_EQ(completions, 1);
    ASSERT_TRUE(outcome->ok());
    EXPECT_EQ(outcome->value(),
              (std::vector<FilesystemEntry>{*makeEntry(temp / "third"), *makeEntry(temp / "first"),
                                            *makeEntry(temp / "second.bin")}));
}

TEST_F(ConcurrentEntriesTest, CompletesOnceWhenTheLastChildFinishes) {
    start({temp / "first", temp / "second.bin", temp / "third"});

    executor.runOne();
    executor.runOne();
    EXPECT_EQ(completions, 0);
    executor.runOne();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(executor.runAll(), 0U);
    EXPECT_EQ(completions, 1);
}

TEST_F(ConcurrentEntriesTest, AnEmptyListCompletesOnThePoolNotInsideTheCall) {
    start({});

    EXPECT_EQ(completions, 0);
    executor.runAll();

    ASSERT_EQ(completions, 1);
    ASSERT_TRUE(outcome->ok());
    EXPECT_TRUE(outcome->value().empty());
}

TEST_F(ConcurrentEntriesTest, ACancelledRunCompletesWithTheCancellationError) {
    support::CancellationSource source;
    source.cancel();
    start({temp / "first", temp / "second.bin"}, source.token());

    executor.runAll();

    ASSERT_EQ(completions, 1);
    ASSERT_FALSE(outcome->ok());
    EXPECT_TRUE(outcome->error().isCancellation());
}

TEST_F(ConcurrentEntriesTest, CancellingBetweenChildrenDiscardsThePartialEntries) {
    support::CancellationSource source;
    start({temp / "first", temp / "second.bin", temp / "third"}, source.token());

    executor.runOne();
    source.cancel();
    executor.runAll();

    ASSERT_EQ(completions, 1);
    ASSERT_FALSE(outcome->ok());
    EXPECT_TRUE(outcome->error().isCancellation());
}

TEST_F(ConcurrentEntriesTest, OnTheThreadPoolTheEntriesMatchTheSerialOnes) {
    std::vector<fs::path> urls;
    std::vector<FilesystemEntry> expected;
    for (int index = 0; index < 24; ++index) {
        const auto folder = temp / "many" / std::to_string(index);
        makeFile(folder / "data.bin", static_cast<std::size_t>(1000 * (index + 1)));
        urls.push_back(folder);
        expected.push_back(*makeEntry(folder));
    }
    auto pool = support::ThreadPool::create(4);
    std::promise<support::Result<std::vector<FilesystemEntry>>> promise;

    concurrentEntries(urls, *pool, {},
                      [&promise](auto result) { promise.set_value(std::move(result)); });
    const auto result = promise.get_future().get();

    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value(), expected);
}

}  // namespace
}  // namespace quillo
