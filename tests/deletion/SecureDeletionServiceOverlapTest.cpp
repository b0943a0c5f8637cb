#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "deletion/SecureDeletionServiceHarness.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

// Removals in flight on the workers side by side: their order in the stream, what may not
// overlap, and cancellation while some are in flight.
namespace quillo {
namespace {

using ::testing::ElementsAre;
using testing::eventKinds;
using testing::filesNamed;
using testing::itemAt;
using testing::makeFile;
using testing::SecureDeletionServiceHarness;
namespace fs = std::filesystem;

// Holds posted work until the test runs a chosen piece, so that removals finish in any order.
class HeldWork final : public support::Executor {
  public:
    void post(std::function<void()> work) override { held.push_back(std::move(work)); }
    void runAt(std::size_t index) {
        auto work = std::move(held.at(index));
        held.erase(held.begin() + std::ptrdiff_t(index));
        work();
    }
    void runAll() {
        while (!held.empty()) {
            runAt(0);
        }
    }
    std::vector<std::function<void()>> held;
};

class SecureDeletionServiceOverlapTest : public ::testing::Test {
  protected:
    SecureDeletionServiceHarness& harness(DeletionMode mode = DeletionMode::standard) {
        harness_.emplace(mode);
        harness_->environment.removalWorkers = workers;
        harness_->environment.removalsInFlight = 4;
        return *harness_;
    }

    testing::TemporaryDirectory temp;
    std::shared_ptr<HeldWork> workers = std::make_shared<HeldWork>();
    std::optional<SecureDeletionServiceHarness> harness_;
};

TEST_F(SecureDeletionServiceOverlapTest, RemovalsFinishingOutOfOrderAreReportedInItemOrder) {
    auto& service = harness();
    const auto items = filesNamed(temp.path(), {"a", "b", "c", "d", "e"});
    const auto outcome = service.start(items);
    service.drain();
    ASSERT_EQ(workers->held.size(), 4U);  // "e" waits for room
    workers->runAt(3);
    workers->runAt(1);
    service.drain();

    EXPECT_FALSE(fs::exists(temp / "b"));
    EXPECT_FALSE(fs::exists(temp / "d"));
    EXPECT_THAT(eventKinds(outcome->events), ElementsAre("started 5", "itemStarted a"));

    workers->runAt(0);
    service.drain();
    EXPECT_THAT(eventKinds(outcome->events),
                ElementsAre("started 5", "itemStarted a", "itemCompleted", "itemStarted b",
                            "itemCompleted", "itemStarted c"));
    ASSERT_EQ(workers->held.size(), 2U);  // "c", and "e" now in flight too

    workers->runAll();
    service.drain();
    EXPECT_THAT(eventKinds(outcome->events),
                ElementsAre("started 5", "itemStarted a", "itemCompleted", "itemStarted b",
                            "itemCompleted", "itemStarted c", "itemCompleted", "itemStarted d",
                            "itemCompleted", "itemStarted e", "itemCompleted", "finished"));
    const auto report = outcome->report();
    ASSERT_TRUE(report);
    ASSERT_EQ(report->succeeded.size(), items.size());
    for (std::size_t index = 0; index < items.size(); ++index) {
        EXPECT_EQ(report->succeeded[index].id, items[index].id);
        EXPECT_NE(service.lines[index].line.find(items[index].id.uppercaseString()),
                  std::string::npos);
    }
    EXPECT_EQ(service.storedReceipts().size(), items.size());
}

struct OverlapCase {
    const char* name;
    DeletionMode mode;
    std::vector<std::string> files;
    std::vector<std::string> items;
    std::size_t inFlightAtFirst;
};

class WhatMayOverlapTest : public SecureDeletionServiceOverlapTest,
                           public ::testing::WithParamInterface<OverlapCase> {};

TEST_P(WhatMayOverlapTest, OnlyIndependentPlainRemovalsAreInFlightTogether) {
    auto& service = harness(GetParam().mode);
    std::vector<CleanableItem> items;
    for (const std::string& file : GetParam().files) {
        makeFile(temp / file, 1);
    }
    for (const std::string& item : GetParam().items) {
        items.push_back(itemAt(temp / item, 1));
    }
    const auto outcome = service.start(items);
    service.drain();

    EXPECT_EQ(workers->held.size(), GetParam().inFlightAtFirst);
    while (!workers->held.empty()) {
        workers->runAll();
        service.drain();
    }
    const auto report = outcome->report();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->succeeded.size() + report->failed.size(), items.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WhatMayOverlapTest,
    ::testing::Values(
        OverlapCase{"namesSharingAPrefix",
                    DeletionMode::standard,
                    {"a", "ab", "a-b"},
                    {"a", "ab", "a-b"},
                    3},
        OverlapCase{
            "aFolderAndAFileInIt", DeletionMode::standard, {"d/f", "e"}, {"d", "d/f", "e"}, 1},
        OverlapCase{
            "overwrites", DeletionMode::secureOverwrite, {"a", "b", "c"}, {"a", "b", "c"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SecureDeletionServiceOverlapTest, ACancelledRunReportsWhatWasInFlightAndStartsNoMore) {
    auto& service = harness();
    const auto items = filesNamed(temp.path(), {"a", "b", "c", "d", "e", "f"});
    const auto outcome = service.start(items);
    service.drain();
    service.streams.front().cancel();  // the consumer goes away with four removals in flight
    workers->runAll();
    service.drain();

    EXPECT_TRUE(workers->held.empty());
    EXPECT_FALSE(outcome->report());
    EXPECT_EQ(service.storedReceipts().size(), 4U);
    EXPECT_EQ(service.lines.size(), 4U);
    EXPECT_TRUE(fs::exists(temp / "e"));
    EXPECT_TRUE(fs::exists(temp / "f"));
}

}  // namespace
}  // namespace quillo
