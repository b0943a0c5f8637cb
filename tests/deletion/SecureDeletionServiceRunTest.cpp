#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "deletion/SecureDeletionServiceHarness.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

// The course of a run: its events, the receipt batch, cancellation, the log and `deleteItems`.
namespace quillo {
namespace {

using platform::LogLevel;
using ::testing::ElementsAre;
using testing::eventKinds;
using testing::filesNamed;
using ::testing::IsEmpty;
using testing::itemAt;
using testing::LoggedLine;
using testing::makeFile;
using testing::SecureDeletionServiceHarness;
namespace fs = std::filesystem;

class SecureDeletionServiceRunTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory temp;
};

TEST_F(SecureDeletionServiceRunTest, AnEmptyRunStartsAndFinishesWithoutWritingTheStore) {
    const fs::path url = temp / "receipts.json";
    SecureDeletionServiceHarness harness(DeletionMode::standard, ReceiptStore::OnDisk{url});

    const auto outcome = harness.run({}, CleaningModuleID::systemLogs);

    EXPECT_THAT(eventKinds(outcome.events), ElementsAre("started 0", "finished"));
    EXPECT_TRUE(outcome.ended);
    EXPECT_FALSE(outcome.error);
    const auto report = outcome.report();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->moduleID, CleaningModuleID::systemLogs);
    EXPECT_THAT(report->succeeded, IsEmpty());
    EXPECT_THAT(report->failed, IsEmpty());
    EXPECT_FALSE(fs::exists(url));
    EXPECT_EQ(harness.modeRequests, 1);
}

TEST_F(SecureDeletionServiceRunTest, EventsFollowTheItemsAndTheReportMatchesThem) {
    SecureDeletionServiceHarness harness;
    auto items = filesNamed(temp.path(), {"a", "c"});
    items.insert(items.begin() + 1, itemAt(temp / "b-missing"));
    items[1].displayName = "b";

    const auto outcome = harness.run(items);

    EXPECT_THAT(eventKinds(outcome.events),
                ElementsAre("started 3", "itemStarted a", "itemCompleted", "itemStarted b",
                            "itemFailed", "itemStarted c", "itemCompleted", "finished"));
    const auto report = outcome.report();
    ASSERT_TRUE(report);
    const auto& completed = std::get<DeletionItemCompleted>(outcome.events[2]);
    const auto& failed = std::get<DeletionItemFailed>(outcome.events[4]);
    EXPECT_EQ(completed.moduleID, CleaningModuleID::tempFiles);
    EXPECT_EQ(report->succeeded.front(), completed.record);
    EXPECT_THAT(report->failed, ElementsAre(failed.record));
    EXPECT_EQ(report->startedAt,
              std::chrono::time_point_cast<std::chrono::microseconds>(harness.clockReading(0)));
    EXPECT_GT(report->completedAt, report->startedAt);
}

TEST_F(SecureDeletionServiceRunTest, ReceiptsReachTheStoreInOneBatchInItemOrder) {
    SecureDeletionServiceHarness harness;
    const auto items = filesNamed(temp.path(), {"a", "b", "c"});
    const auto outcome = harness.start(items);
    harness.executor->runAll();
    harness.storeExecutor->runAll();  // answers the mode
    harness.executor->runAll();       // the item loop

    EXPECT_EQ(harness.storeExecutor->pendingCount(), 1u);
    harness.drain();
    const auto receipts = harness.storedReceipts();
    const auto report = outcome->report();
    ASSERT_TRUE(report);
    const auto& succeeded = report->succeeded;
    ASSERT_EQ(receipts.size(), 3u);
    for (std::size_t index = 0; index < receipts.size(); ++index) {
        EXPECT_EQ(receipts[index].hash, succeeded[index].receiptHash);
        EXPECT_EQ(succeeded[index].id, items[index].id);
    }
}

TEST_F(SecureDeletionServiceRunTest, AFailingStoreEndsTheRunWithItsErrorAfterAllItems) {
    makeFile(temp / "not-a-folder", 1);
    SecureDeletionServiceHarness harness(DeletionMode::standard,
                                         ReceiptStore::OnDisk{temp / "not-a-folder" / "r.json"});
    const auto items = filesNamed(temp.path(), {"a", "b"});

    const auto outcome = harness.run(items);

    EXPECT_TRUE(outcome.ended);
    ASSERT_TRUE(outcome.error);
    EXPECT_NE(outcome.error->as<ReceiptStoreError>(), nullptr);
    EXPECT_FALSE(outcome.report());
    EXPECT_THAT(eventKinds(outcome.events).back(), "itemCompleted");
    EXPECT_FALSE(fs::exists(temp / "a"));
    EXPECT_FALSE(fs::exists(temp / "b"));
}

TEST_F(SecureDeletionServiceRunTest, TheReportNamesTheFileTheReceiptsWentToInstead) {
    makeFile(temp / "not-a-folder", 1);
    const fs::path receiptsFile = temp / "not-a-folder" / "r.json";
    SecureDeletionServiceHarness harness(DeletionMode::standard,
                                         ReceiptStore::OnDisk{receiptsFile, temp / "fallback"});

    const auto outcome = harness.run(filesNamed(temp.path(), {"a", "b"}));

    const auto report = outcome.report();
    ASSERT_TRUE(report);
    const std::vector<fs::path> written(fs::directory_iterator(temp / "fallback"),
                                        fs::directory_iterator());
    ASSERT_EQ(written.size(), 1U);
    EXPECT_EQ(report->receiptsSavedElsewhere,
              std::optional<ReceiptsSavedElsewhere>({written.front(), receiptsFile}));
    const std::string saved = testing::readTextFile(written.front());
    ASSERT_EQ(report->succeeded.size(), 2U);
    for (const auto& record : report->succeeded) {
        EXPECT_NE(saved.find(record.receiptHash), std::string::npos);
    }
}

TEST_F(SecureDeletionServiceRunTest, ARunCancelledBeforeItsFirstItemTouchesNothing) {
    SecureDeletionServiceHarness harness;
    const auto items = filesNamed(temp.path(), {"a"});
    const auto outcome = harness.start(items);
    harness.executor->runAll();
    harness.streams.front().cancel();  // while the mode is being asked for
    harness.drain();

    EXPECT_TRUE(fs::exists(temp / "a"));
    EXPECT_THAT(harness.storedReceipts(), IsEmpty());
    EXPECT_THAT(outcome->events, IsEmpty());
}

TEST_F(SecureDeletionServiceRunTest, ARunOfAServiceThatIsGoneEndsAtOnceWithoutEvents) {
    SecureDeletionServiceHarness harness;
    const auto items = filesNamed(temp.path(), {"a"});
    const auto outcome = harness.start(items);
    harness.releaseService();
    harness.drain();

    EXPECT_TRUE(outcome->ended);
    EXPECT_FALSE(outcome->error);
    EXPECT_THAT(outcome->events, IsEmpty());
    EXPECT_TRUE(fs::exists(temp / "a"));
}

TEST_F(SecureDeletionServiceRunTest, TheModeIsAskedOncePerRunAndKeptForIt) {
    SecureDeletionServiceHarness harness(DeletionMode::secureOverwrite);
    for (const char* name : {"a", "b", "c"}) {
        makeFile(temp / name, 10);
    }
    harness.start({itemAt(temp / "a"), itemAt(temp / "b")});
    harness.drain();
    EXPECT_EQ(harness.modeRequests, 1);
    harness.mode = DeletionMode::standard;
    harness.start({itemAt(temp / "c")});
    harness.drain();

    EXPECT_EQ(harness.modeRequests, 2);
    EXPECT_THAT(harness.filledChunks, ElementsAre(10u, 10u));
}

TEST_F(SecureDeletionServiceRunTest, EachOutcomeIsLoggedWithThePathKeptPrivate) {
    for (const bool reveal : {false, true}) {
        SCOPED_TRACE(reveal);
        SecureDeletionServiceHarness harness;
        harness.environment.log.revealsPrivateArguments = reveal;
        const auto items = filesNamed(temp.path(), {"a"});
        const CleanableItem missing = itemAt(temp / "missing");

        harness.run({items[0], missing});

        const std::string path = reveal ? (temp / "a").string() : "<private>";
        EXPECT_THAT(harness.lines,
                    ElementsAre(LoggedLine{LogLevel::info, "deletion",
                                           "delete ok id=" + items[0].id.uppercaseString() +
                                               " path=" + path},
                                LoggedLine{LogLevel::error, "deletion",
                                           "delete failed id=" + missing.id.uppercaseString() +
                                               " reason=No such file or directory"}));
    }
}

TEST_F(SecureDeletionServiceRunTest, DeleteItemsGivesTheReportOrTheRunsError) {
    SecureDeletionServiceHarness harness;
    const auto items = filesNamed(temp.path(), {"a"});
    std::optional<support::Result<DeletionReport>> result;
    harness.service().deleteItems(items, CleaningModuleID::fontCache,
                                  [&](support::Result<DeletionReport> report) { result = report; });
    harness.drain();
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ(result->value().moduleID, CleaningModuleID::fontCache);
    EXPECT_EQ(result->value().succeeded.size(), 1u);

    makeFile(temp / "file", 1);
    SecureDeletionServiceHarness failing(DeletionMode::standard,
                                         ReceiptStore::OnDisk{temp / "file" / "r.json"});
    std::optional<support::Result<DeletionReport>> failure;
    failing.service().deleteItems(
        filesNamed(temp.path(), {"b"}), CleaningModuleID::fontCache,
        [&](support::Result<DeletionReport> report) { failure = report; });
    failing.drain();
    ASSERT_TRUE(failure);
    ASSERT_FALSE(failure->ok());
    EXPECT_NE(failure->error().as<ReceiptStoreError>(), nullptr);
}

}  // namespace
}  // namespace quillo
