#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "modules/EngineTestSupport.h"
#include "modules/LocalSnapshotsActor.h"
#include "modules/SnapshotListParsing.h"
#include "platform/ProcessRunner.h"
#include "support/Outcomes.h"

namespace quillo {
namespace {

using testing::StreamRecording;

const TimePoint kStart = std::chrono::sys_days{std::chrono::year{2026} / 3 / 1};

class LocalSnapshotsActorTest : public ::testing::Test {
  protected:
    std::shared_ptr<LocalSnapshotsActor> makeModule() {
        SnapshotLister lister = [this](support::Completion<std::vector<LocalSnapshot>> done) {
            ++listerCalls;
            pendingListing = std::move(done);
        };
        SnapshotDeleter deleter = [this](const LocalSnapshot& snapshot,
                                         support::Completion<support::Unit> done) {
            deleted.push_back(snapshot);
            pendingDeletion = std::move(done);
        };
        return std::make_shared<LocalSnapshotsActor>(
            std::move(lister), std::move(deleter),
            LocalSnapshotsActor::Environment{executor, [this] { return clock(); }});
    }

    TimePoint clock() {
        const auto reading = kStart + std::chrono::seconds(clockReadings);
        ++clockReadings;
        return reading;
    }

    std::optional<support::Result<CleanableItems>> scan(
        const support::CancellationToken& token,
        support::Result<std::vector<LocalSnapshot>> listing) {
        std::optional<support::Result<CleanableItems>> outcome;
        module->scan(token, [&](const support::Result<CleanableItems>& items) { outcome = items; });
        executor->runAll();
        if (pendingListing) {
            std::exchange(pendingListing, nullptr)(std::move(listing));
            executor->runAll();
        }
        return outcome;
    }

    /// Answers the deletions in order with `outcomes`, running the module between them.
    void answerDeletions(const std::vector<support::Status>& outcomes) {
        for (const auto& outcome : outcomes) {
            executor->runAll();
            ASSERT_TRUE(pendingDeletion) << "no deletion was waiting";
            std::exchange(pendingDeletion, nullptr)(outcome);
        }
        executor->runAll();
    }

    /// Starts deleting `items` and records the module's stream.
    void startDeletion(CleanableItems items) {
        stream.emplace(module->deleteItems(std::move(items)));
        testing::record(*stream, executor, recording);
        executor->runAll();
    }

    /// The report of a stream that ended normally after `started` and `finished`.
    [[nodiscard]] DeletionReport finishedReport() const {
        EXPECT_TRUE(recording.endedNormally());
        EXPECT_EQ(recording.events.size(), 2U);
        const auto* finished = std::get_if<DeletionFinished>(&recording.events.back());
        return finished != nullptr ? finished->report : DeletionReport{};
    }

    static CleanableItem itemFor(const std::string& token) {
        return CleanableItem{Uuid::random(),
                             "/.snapshots/" + token,
                             token,
                             0,
                             snapshotDate(token).value_or(kUnreadableSnapshotDate),
                             CleaningModuleID::localSnapshots,
                             {CleanableItemWarning::irreversible},
                             false};
    }

    std::shared_ptr<support::ManualExecutor> executor = std::make_shared<support::ManualExecutor>();
    int listerCalls = 0;
    int clockReadings = 0;
    support::Completion<std::vector<LocalSnapshot>> pendingListing;
    support::Completion<support::Unit> pendingDeletion;
    std::vector<LocalSnapshot> deleted;
    std::shared_ptr<LocalSnapshotsActor> module = makeModule();
    std::optional<support::EventStream<DeletionEvent>> stream;
    StreamRecording recording;
};

TEST_F(LocalSnapshotsActorTest, OffersEveryListedSnapshotInListingOrder) {
    const auto snapshots = parseSnapshotList(
        "Snapshots for disk /:\n"
        "com.apple.TimeMachine.2025-03-15-101112.local\n"
        "com.apple.TimeMachine.2025-03-14-092653.local\n"
        "com.apple.TimeMachine.2025-13-40-999999.local\n");
    const auto outcome = scan({}, snapshots);
    ASSERT_TRUE(testing::succeeded(outcome));
    const auto& items = outcome->value();
    ASSERT_EQ(items.size(), 3U);
    for (std::size_t index = 0; index < items.size(); ++index) {
        const auto& item = items[index];
        const auto& snapshot = snapshots[index];
        EXPECT_EQ(item.id, snapshot.id);
        EXPECT_EQ(item.url, "/.snapshots/" + snapshot.dateToken);
        EXPECT_EQ(item.displayName, snapshot.dateToken);
        EXPECT_EQ(item.sizeInBytes, 0);
        EXPECT_EQ(item.lastModified, snapshot.date);
        EXPECT_EQ(item.moduleID, CleaningModuleID::localSnapshots);
        EXPECT_EQ(item.warnings, std::vector{CleanableItemWarning::irreversible});
        EXPECT_FALSE(item.isSafeToDeleteByDefault);
    }
    EXPECT_EQ(items[0].displayName, "2025-03-15-101112");
    EXPECT_EQ(items[1].displayName, "2025-03-14-092653");
    EXPECT_EQ(items[2].lastModified, kUnreadableSnapshotDate);
}

TEST_F(LocalSnapshotsActorTest, AFailingListerFailsTheScanWithItsError) {
    const auto outcome = scan({}, support::Error::make(testing::ToolFailure{}));
    ASSERT_TRUE(outcome.has_value());
    ASSERT_FALSE(outcome->ok());
    EXPECT_EQ(outcome->error().description(), "Werkzeug fehlgeschlagen");
}

TEST_F(LocalSnapshotsActorTest, ACancelledScanDoesNotAskTheLister) {
    support::CancellationSource source;
    source.cancel();
    const auto outcome = scan(source.token(), std::vector<LocalSnapshot>{});
    EXPECT_TRUE(testing::cancelled(outcome));
    EXPECT_EQ(listerCalls, 0);
}

TEST_F(LocalSnapshotsActorTest, AScanCancelledWhileListingFailsWithCancellation) {
    support::CancellationSource source;
    std::optional<support::Result<CleanableItems>> outcome;
    module->scan(source.token(),
                 [&](const support::Result<CleanableItems>& items) { outcome = items; });
    executor->runAll();
    ASSERT_TRUE(pendingListing);
    source.cancel();
    pendingListing(parseSnapshotList("com.apple.TimeMachine.2025-03-14-092653.local"));
    executor->runAll();
    EXPECT_TRUE(testing::cancelled(outcome));
}

TEST_F(LocalSnapshotsActorTest, DeletesEachSnapshotByTheTokenInItsDisplayName) {
    const auto first = itemFor("2025-03-14-092653");
    const auto second = itemFor("2025-03-15-101112");
    startDeletion({first, second});
    // One snapshot at a time: the second waits for the first.
    ASSERT_EQ(deleted.size(), 1U);
    answerDeletions({support::Unit{}, support::Unit{}});

    ASSERT_EQ(deleted.size(), 2U);
    EXPECT_EQ(deleted[0], (LocalSnapshot{first.id, "2025-03-14-092653", first.lastModified, {}}));
    EXPECT_EQ(deleted[1].dateToken, "2025-03-15-101112");

    const auto report = finishedReport();
    const auto& started = std::get<DeletionStarted>(recording.events.at(0));
    EXPECT_EQ(started.moduleID, CleaningModuleID::localSnapshots);
    EXPECT_EQ(started.totalCount, 2U);
    EXPECT_EQ(report, (DeletionReport{
                          .moduleID = CleaningModuleID::localSnapshots,
                          .succeeded = {{first.id, 0, "snapshot-2025-03-14-092653"},
                                        {second.id, 0, "snapshot-2025-03-15-101112"}},
                          .failed = {},
                          .startedAt = kStart,
                          .completedAt = kStart + std::chrono::seconds(1),
                      }));
}

TEST_F(LocalSnapshotsActorTest, AFailedDeletionIsRecordedAndTheNextSnapshotIsStillTried) {
    const auto first = itemFor("2025-03-14-092653");
    const auto second = itemFor("2025-03-15-101112");
    startDeletion({first, second});
    answerDeletions({support::Error::make(ProcessRunnerError::nonZeroExit(1, "snapshot is busy")),
                     support::Unit{}});

    const auto report = finishedReport();
    EXPECT_EQ(report.failed,
              (std::vector<FailedFileRecord>{{first.id, "Prozess endete mit Code 1."}}));
    EXPECT_EQ(report.succeeded,
              (std::vector<DeletedFileRecord>{{second.id, 0, "snapshot-2025-03-15-101112"}}));
}

TEST_F(LocalSnapshotsActorTest, DeletingNothingReportsNothing) {
    startDeletion({});
    EXPECT_TRUE(deleted.empty());
    const auto report = finishedReport();
    EXPECT_EQ(std::get<DeletionStarted>(recording.events.at(0)).totalCount, 0U);
    EXPECT_TRUE(report.succeeded.empty());
    EXPECT_TRUE(report.failed.empty());
}

TEST_F(LocalSnapshotsActorTest, CancellationBetweenSnapshotsEndsTheRunWithoutAReport) {
    support::CancellationSource source;
    std::optional<support::Result<DeletionReport>> outcome;
    executor->post([&] {
        module->deleteSnapshots(
            {itemFor("2025-03-14-092653"), itemFor("2025-03-15-101112")}, source.token(),
            [&](const support::Result<DeletionReport>& report) { outcome = report; });
    });
    executor->runAll();
    ASSERT_TRUE(pendingDeletion);
    source.cancel();
    answerDeletions({support::Unit{}});

    EXPECT_TRUE(testing::cancelled(outcome));
    EXPECT_EQ(deleted.size(), 1U);
}

TEST_F(LocalSnapshotsActorTest, DroppingTheStreamStopsFurtherDeletions) {
    {
        auto stream =
            module->deleteItems({itemFor("2025-03-14-092653"), itemFor("2025-03-15-101112")});
        executor->runAll();
    }
    answerDeletions({support::Unit{}});
    EXPECT_EQ(deleted.size(), 1U);
    EXPECT_FALSE(pendingDeletion);
}

}  // namespace
}  // namespace quillo
