#include <gtest/gtest.h>

#include "modules/CleaningEngine.h"
#include "modules/EngineTestSupport.h"
#include "modules/ReportEventStream.h"
#include "support/Outcomes.h"

namespace quillo {
namespace {

using testing::ManualSleeper;
using testing::mockProperties;
using testing::StreamRecording;

const TimePoint kNow = std::chrono::sys_days{std::chrono::year{2026} / 12 / 7};

/// A module whose scan and deletion fail once the test lets them.
class FailingModule final : public CleaningModule {
  public:
    FailingModule(CleaningModuleID id, support::ExecutorRef context)
        : CleaningModule(mockProperties(id), std::move(context)) {}

    void scan(support::CancellationToken, support::Completion<CleanableItems> done) override {
        context()->post([done] { done(support::Error::make(testing::ToolFailure{})); });
    }

    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override {
        return reportEventStream(
            weak_from_this(), context(), static_cast<std::int64_t>(items.size()),
            [](const support::CancellationToken&, const support::Completion<DeletionReport>& done) {
                done(support::Error::make(testing::ToolFailure{}));
            });
    }
};

class CleaningEngineTest : public ::testing::Test {
  protected:
    std::shared_ptr<MockCleaningModule> makeMock(CleaningModuleID id, std::int64_t count,
                                                 ByteRange range = {1, 1000},
                                                 bool destructive = false) {
        return std::make_shared<MockCleaningModule>(
            mockProperties(id, destructive), count, range,
            MockCleaningModule::Environment{executor, sleeper, [] { return kNow; }});
    }

    CleaningEngine makeEngine(std::vector<std::shared_ptr<CleaningModule>> modules) {
        return CleaningEngine(std::move(modules), executor);
    }

    /// Runs a scan to its end, letting every mock wait elapse.
    std::optional<support::Result<ScanResults>> scanToEnd(
        const CleaningEngine& engine, std::optional<std::set<CleaningModuleID>> ids,
        const support::CancellationToken& token = {}) {
        std::optional<support::Result<ScanResults>> outcome;
        engine.scan(std::move(ids), token,
                    [&](support::Result<ScanResults> result) { outcome = std::move(result); });
        executor->runAll();
        sleeper->elapseAll();
        executor->runAll();
        return outcome;
    }

    CleanableItem itemOf(CleaningModuleID id) {
        return CleanableItem{Uuid::random(), "/mock/x", "x", 10, kNow, id, {}, true};
    }

    std::shared_ptr<support::ManualExecutor> executor = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<ManualSleeper> sleeper = std::make_shared<ManualSleeper>();
};

TEST_F(CleaningEngineTest, DescriptorsFollowTheModulesInOrder) {
    auto engine = makeEngine({makeMock(CleaningModuleID::tempFiles, 1),
                              makeMock(CleaningModuleID::systemCaches, 1, {1, 1}, true)});
    ASSERT_EQ(engine.descriptors().size(), 2U);
    EXPECT_EQ(engine.descriptors()[0].id, CleaningModuleID::tempFiles);
    EXPECT_EQ(engine.descriptors()[0].displayName.defaultValue, "Temporäre Dateien");
    EXPECT_EQ(engine.descriptors()[1].id, CleaningModuleID::systemCaches);
    EXPECT_TRUE(engine.descriptors()[1].isDestructive);
    EXPECT_DOUBLE_EQ(engine.descriptors()[1].estimatedScanDuration, 0.5);
}

TEST_F(CleaningEngineTest, ASetScansOnlyItsModulesAndNoSetScansEveryModule) {
    auto engine = makeEngine(
        {makeMock(CleaningModuleID::tempFiles, 2), makeMock(CleaningModuleID::systemLogs, 0)});
    auto none = scanToEnd(engine, std::set<CleaningModuleID>{});
    ASSERT_TRUE(testing::succeeded(none));
    EXPECT_TRUE(none->value().empty());
    EXPECT_TRUE(sleeper->requestedDurations().empty());

    auto logsOnly = scanToEnd(engine, std::set{CleaningModuleID::systemLogs});
    ASSERT_TRUE(testing::succeeded(logsOnly));
    ASSERT_EQ(logsOnly->value().size(), 1U);
    EXPECT_TRUE(logsOnly->value().contains(CleaningModuleID::systemLogs));

    auto all = scanToEnd(engine, std::nullopt);
    ASSERT_TRUE(testing::succeeded(all));
    ASSERT_EQ(all->value().size(), 2U);
    EXPECT_EQ(all->value().at(CleaningModuleID::tempFiles).size(), 2U);
    // A module that found nothing still has its entry.
    EXPECT_TRUE(all->value().at(CleaningModuleID::systemLogs).empty());
}

TEST_F(CleaningEngineTest, MockItemsAreNamedSizedAndFlaggedFromTheirAge) {
    auto engine = makeEngine({makeMock(CleaningModuleID::tempFiles, 200, {10, 20})});
    auto result = scanToEnd(engine, std::nullopt);
    ASSERT_TRUE(testing::succeeded(result));
    const auto& items = result->value().at(CleaningModuleID::tempFiles);
    ASSERT_EQ(items.size(), 200U);
    EXPECT_EQ(items[3].displayName, "tempFiles-item-3");
    EXPECT_EQ(items[3].url, std::filesystem::path("/mock/tempFiles/item-3"));

    const auto wait = sleeper->requestedDurations().front();
    EXPECT_GE(wait.count(), 300);
    EXPECT_LE(wait.count(), 1400);

    std::set<Uuid> ids;
    for (const auto& item : items) {
        ids.insert(item.id);
        EXPECT_EQ(item.moduleID, CleaningModuleID::tempFiles);
        EXPECT_GE(item.sizeInBytes, 10);
        EXPECT_LE(item.sizeInBytes, 20);
        const auto age = kNow - item.lastModified;
        EXPECT_GE(age, std::chrono::seconds(0));
        EXPECT_LE(age, std::chrono::hours(24 * 180));
        const bool recent = age < std::chrono::hours(24 * 7);
        EXPECT_EQ(item.isSafeToDeleteByDefault, !recent);
        const std::vector<CleanableItemWarning> expected =
            recent ? std::vector{CleanableItemWarning::recentlyModified}
                   : std::vector<CleanableItemWarning>{};
        EXPECT_EQ(item.warnings, expected);
    }
    EXPECT_EQ(ids.size(), items.size());
}

TEST_F(CleaningEngineTest, LargeAndDestructiveMocksFlagEveryItem) {
    auto engine =
        makeEngine({makeMock(CleaningModuleID::sleepImage, 50, {600'000'000, 600'000'000}, true)});
    auto result = scanToEnd(engine, std::nullopt);
    ASSERT_TRUE(testing::succeeded(result));
    for (const auto& item : result->value().at(CleaningModuleID::sleepImage)) {
        ASSERT_GE(item.warnings.size(), 2U);
        EXPECT_EQ(item.warnings.front(), CleanableItemWarning::irreversible);
        EXPECT_EQ(item.warnings.back(), CleanableItemWarning::largeFile);
        EXPECT_FALSE(item.isSafeToDeleteByDefault);
    }
}

TEST_F(CleaningEngineTest, FullSixtyFourBitRangeDrawsValidSizes) {
    const ByteRange everything{std::numeric_limits<std::int64_t>::min(),
                               std::numeric_limits<std::int64_t>::max()};
    auto engine = makeEngine({makeMock(CleaningModuleID::fontCache, 100, everything)});
    auto result = scanToEnd(engine, std::nullopt);
    ASSERT_TRUE(testing::succeeded(result));
    EXPECT_EQ(result->value().at(CleaningModuleID::fontCache).size(), 100U);
}

TEST_F(CleaningEngineTest, CancellingWhileTheMockWaitsEndsWithTheCancellationError) {
    auto engine = makeEngine({makeMock(CleaningModuleID::tempFiles, 3)});
    support::CancellationSource task;
    std::optional<support::Result<ScanResults>> outcome;
    engine.scan(std::nullopt, task.token(),
                [&](support::Result<ScanResults> result) { outcome = std::move(result); });
    executor->runAll();
    ASSERT_EQ(sleeper->pendingCount(), 1U);

    task.cancel();
    executor->runAll();
    EXPECT_EQ(sleeper->pendingCount(), 0U);
    EXPECT_TRUE(testing::cancelled(outcome));
}

TEST_F(CleaningEngineTest, FailingModuleFailsTheScanAfterTheOthersWereCancelledAndAwaited) {
    auto engine =
        makeEngine({makeMock(CleaningModuleID::tempFiles, 3),
                    std::make_shared<FailingModule>(CleaningModuleID::localSnapshots, executor)});
    std::optional<support::Result<ScanResults>> outcome;
    engine.scan(std::nullopt, {},
                [&](support::Result<ScanResults> result) { outcome = std::move(result); });
    executor->runAll();
    // The mock's wait was cancelled by the failure; the scan ended only after it had.
    EXPECT_EQ(sleeper->pendingCount(), 0U);
    ASSERT_TRUE(outcome.has_value());
    ASSERT_FALSE(outcome->ok());
    EXPECT_EQ(outcome->error().description(), "Werkzeug fehlgeschlagen");
}

TEST_F(CleaningEngineTest, DeletionMergesEachModulesSequenceInItsOwnOrder) {
    auto temp = makeMock(CleaningModuleID::tempFiles, 0);
    auto logs = makeMock(CleaningModuleID::systemLogs, 0);
    auto engine = makeEngine({temp, logs});
    const CleanableItems items{itemOf(CleaningModuleID::systemLogs),
                               itemOf(CleaningModuleID::tempFiles),
                               itemOf(CleaningModuleID::systemLogs)};

    auto stream = engine.deleteItems(items);
    StreamRecording recording;
    testing::record(stream, executor, recording);
    executor->runAll();
    sleeper->elapseAll();
    executor->runAll();

    ASSERT_TRUE(recording.endedNormally());
    EXPECT_EQ(recording.events.size(), 4U);
    const auto logEvents = recording.eventsOf(CleaningModuleID::systemLogs);
    ASSERT_EQ(logEvents.size(), 2U);
    ASSERT_TRUE(std::holds_alternative<DeletionStarted>(logEvents[0]));
    EXPECT_EQ(std::get<DeletionStarted>(logEvents[0]).totalCount, 2);
    ASSERT_TRUE(std::holds_alternative<DeletionFinished>(logEvents[1]));
    const auto& report = std::get<DeletionFinished>(logEvents[1]).report;
    ASSERT_EQ(report.succeeded.size(), 2U);
    EXPECT_EQ(report.succeeded[0].id, items[0].id);
    EXPECT_EQ(report.succeeded[1].id, items[2].id);
    EXPECT_EQ(report.succeeded[0].receiptHash,
              "mock-" + items[0].id.uppercaseString().substr(0, 8));
    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(recording.eventsOf(CleaningModuleID::tempFiles).size(), 2U);

    auto waits = sleeper->requestedDurations();
    std::sort(waits.begin(), waits.end());
    EXPECT_EQ(waits, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(80),
                                                             std::chrono::milliseconds(160)}));
}

TEST_F(CleaningEngineTest, EmptyDeletionAndUnknownModulesEndWithoutEvents) {
    auto engine = makeEngine({makeMock(CleaningModuleID::tempFiles, 0)});
    for (const auto& items :
         {CleanableItems{}, CleanableItems{itemOf(CleaningModuleID::fontCache)}}) {
        auto stream = engine.deleteItems(items);
        StreamRecording recording;
        testing::record(stream, executor, recording);
        executor->runAll();
        EXPECT_TRUE(recording.endedNormally());
        EXPECT_TRUE(recording.events.empty());
    }
}

TEST_F(CleaningEngineTest, ModuleErrorEndsTheStreamOnlyAfterTheOtherModuleFinished) {
    auto engine =
        makeEngine({makeMock(CleaningModuleID::tempFiles, 0),
                    std::make_shared<FailingModule>(CleaningModuleID::fontCache, executor)});
    auto stream = engine.deleteItems(
        {itemOf(CleaningModuleID::fontCache), itemOf(CleaningModuleID::tempFiles)});
    StreamRecording recording;
    testing::record(stream, executor, recording);
    executor->runAll();
    // The failing module is done; the mock still waits, so the stream must still be open.
    EXPECT_FALSE(recording.end.has_value());

    sleeper->elapseAll();
    executor->runAll();
    ASSERT_TRUE(recording.end.has_value() && recording.end->has_value());
    EXPECT_EQ((*recording.end)->description(), "Werkzeug fehlgeschlagen");
    const auto tempEvents = recording.eventsOf(CleaningModuleID::tempFiles);
    ASSERT_EQ(tempEvents.size(), 2U);
    EXPECT_TRUE(std::holds_alternative<DeletionFinished>(tempEvents[1]));
}

TEST_F(CleaningEngineTest, DroppingTheDeletionStreamCancelsTheModulesWork) {
    auto engine = makeEngine({makeMock(CleaningModuleID::tempFiles, 0)});
    {
        auto stream = engine.deleteItems({itemOf(CleaningModuleID::tempFiles)});
        executor->runAll();
        EXPECT_EQ(sleeper->pendingCount(), 1U);
    }
    executor->runAll();
    EXPECT_EQ(sleeper->pendingCount(), 0U);
}

TEST_F(CleaningEngineTest, StreamOfAModuleThatIsGoneEndsWithoutEvents) {
    auto module = makeMock(CleaningModuleID::tempFiles, 0);
    auto stream = module->deleteItems({itemOf(CleaningModuleID::tempFiles)});
    module.reset();
    StreamRecording recording;
    testing::record(stream, executor, recording);
    executor->runAll();
    EXPECT_TRUE(recording.endedNormally());
    EXPECT_TRUE(recording.events.empty());
}

}  // namespace
}  // namespace quillo
