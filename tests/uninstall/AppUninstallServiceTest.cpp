#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Trash.h"
#include "support/Outcomes.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"
#include "uninstall/UninstallHarness.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using ItemIDs = AppUninstallService::ItemIDs;
using Outcome = std::optional<support::Result<DeletionReport>>;

class ToolFailure final : public support::ErrorDetail {
  public:
    [[nodiscard]] std::string description() const override { return "Zugriff verweigert"; }
};

class AppUninstallServiceTest : public ::testing::Test {
  protected:
    AppUninstallServiceTest() {
        const auto bundle =
            harness.makeBundle("Notes.app", {{"CFBundleIdentifier", "com.example.Notes"}});
        testing::makeFile(harness.library() / "Caches" / "com.example.Notes" / "db", 100);
        testing::makeFile(harness.library() / "Preferences" / "com.example.Notes.plist", 10);
        plan = *harness.plan(bundle);
    }

    /// Starts `uninstall` and runs everything up to the pause.
    Outcome& start(std::optional<ItemIDs> ids = std::nullopt) {
        harness.service->uninstall(plan, std::move(ids), cancellation.token(),
                                   [this](auto answer) { outcome.emplace(std::move(answer)); });
        harness.drain();
        return outcome;
    }

    /// Ends the pause and runs the item loop.
    const DeletionReport& finish() {
        harness.sleeper->elapseAll();
        harness.drain();
        EXPECT_TRUE(outcome && *outcome);
        return outcome->value();
    }

    [[nodiscard]] std::vector<fs::path> urls() const {
        std::vector<fs::path> urls;
        for (const auto& item : plan.items) {
            urls.push_back(item.url);
        }
        return urls;
    }

    testing::UninstallHarness harness;
    UninstallPlan plan;
    support::CancellationSource cancellation;
    Outcome outcome;
};

TEST_F(AppUninstallServiceTest, QuitsPausesThenMovesEveryItemInPlanOrder) {
    ASSERT_EQ(plan.items.size(), 3U);
    start();

    EXPECT_EQ(harness.quitRequests, std::vector<std::string>{"com.example.Notes"});
    EXPECT_EQ(harness.sleeper->requestedDurations(), std::vector{AppUninstallService::kQuitPause});
    EXPECT_TRUE(harness.trashed.empty()) << "nothing moves before the pause ends";
    EXPECT_FALSE(outcome);

    const auto& report = finish();
    EXPECT_EQ(harness.trashed, urls());
    EXPECT_EQ(report.moduleID, CleaningModuleID::applicationResidual);
    ASSERT_EQ(report.succeeded.size(), 3U);
    EXPECT_TRUE(report.failed.empty());
    for (std::size_t index = 0; index < 3; ++index) {
        EXPECT_EQ(report.succeeded[index].id, plan.items[index].id);
        EXPECT_EQ(report.succeeded[index].sizeInBytes, plan.items[index].sizeInBytes);
        EXPECT_EQ(report.succeeded[index].receiptHash,
                  "uninstall-" + plan.items[index].id.uppercaseString().substr(0, 8));
    }
    EXPECT_EQ(report.startedAt, testing::kUninstallStart);
    EXPECT_EQ(report.completedAt, testing::kUninstallStart + std::chrono::seconds(1));
}

TEST_F(AppUninstallServiceTest, MovesOnlyTheRowsItFindsForTheBundleItself) {
    const fs::path stranger = harness.library() / "Keychains" / "login.keychain-db";
    testing::makeFile(stranger, 10);
    CleanableItem smuggled = plan.items.back();
    smuggled.id = Uuid::random();
    smuggled.url = stranger;
    plan.items.push_back(smuggled);
    start();

    const auto& report = finish();
    EXPECT_EQ(report.succeeded.size(), 3U);
    ASSERT_EQ(report.failed.size(), 1U);
    EXPECT_EQ(report.failed[0].id, smuggled.id);
    EXPECT_EQ(std::count(harness.trashed.begin(), harness.trashed.end(), stranger), 0);
}

TEST_F(AppUninstallServiceTest, ARowTheKeepListTouchesStaysAndFailsWithTheReason) {
    const auto caches = harness.library() / "Caches" / "com.example.Notes";
    // Kept inside the row: the whole folder stays.
    harness.kept = KeepList({(caches / "db").string()});
    start();

    const auto& report = finish();
    EXPECT_EQ(std::count(harness.trashed.begin(), harness.trashed.end(), caches), 0);
    EXPECT_EQ(report.succeeded.size(), 2U);
    ASSERT_EQ(report.failed.size(), 1U);
    EXPECT_EQ(report.failed[0].reason, "Behalten: Der Pfad steht in den Ausnahmen.");
}

TEST_F(AppUninstallServiceTest, TheQuitRequestIsMadeOnTheMainThread) {
    harness.service->uninstall(plan, std::nullopt, cancellation.token(),
                               [this](auto answer) { outcome.emplace(std::move(answer)); });
    harness.context->runAll();
    EXPECT_TRUE(harness.quitRequests.empty());
    harness.main->runAll();
    EXPECT_EQ(harness.quitRequests.size(), 1U);
    harness.drain();
    finish();
}

TEST_F(AppUninstallServiceTest, ACancelledPlanAnswersWithCancellation) {
    cancellation.cancel();
    std::optional<support::Result<std::optional<UninstallPlan>>> planOutcome;
    harness.service->makePlan(plan.appURL, cancellation.token(),
                              [&](auto answer) { planOutcome.emplace(std::move(answer)); });
    harness.drain();
    EXPECT_TRUE(testing::cancelled(planOutcome));
}

TEST_F(AppUninstallServiceTest, OnlySelectedItemsMoveStillInPlanOrder) {
    start(ItemIDs{plan.items[2].id, plan.items[0].id, Uuid::random()});
    const auto& report = finish();
    EXPECT_EQ(harness.trashed, (std::vector<fs::path>{plan.items[0].url, plan.items[2].url}));
    ASSERT_EQ(report.succeeded.size(), 2U);
    EXPECT_EQ(report.succeeded[0].id, plan.items[0].id);
}

TEST_F(AppUninstallServiceTest, AnEmptySelectionStillQuitsAndPausesAndReportsNothing) {
    start(ItemIDs{});
    EXPECT_EQ(harness.quitRequests.size(), 1U);
    EXPECT_EQ(harness.sleeper->pendingCount(), 1U);
    const auto& report = finish();
    EXPECT_TRUE(harness.trashed.empty());
    EXPECT_TRUE(report.succeeded.empty());
    EXPECT_TRUE(report.failed.empty());
}

TEST_F(AppUninstallServiceTest, AnItemThatCannotBeMovedBecomesAFailedRecordAndTheRunGoesOn) {
    const auto stuck = plan.items[1].url;
    harness.trashOutcome = [stuck](const fs::path& path) -> support::Status {
        if (path == stuck) {
            return support::Error::make(ToolFailure());
        }
        return support::Unit{};
    };
    start();
    const auto& report = finish();
    ASSERT_EQ(report.succeeded.size(), 2U);
    EXPECT_EQ(report.succeeded[0].id, plan.items[0].id);
    EXPECT_EQ(report.succeeded[1].id, plan.items[2].id);
    EXPECT_EQ(report.failed,
              (std::vector<FailedFileRecord>{{plan.items[1].id, "Zugriff verweigert"}}));
}

TEST_F(AppUninstallServiceTest, CancellingDuringThePauseEndsItAndFailsBeforeTheFirstItem) {
    start();
    cancellation.cancel();
    harness.drain();
    EXPECT_TRUE(testing::cancelled(outcome));
    EXPECT_TRUE(harness.trashed.empty());
}

TEST_F(AppUninstallServiceTest, CancellingBetweenItemsKeepsWhatMovedAndReportsNothing) {
    harness.trashOutcome = [this](const fs::path&) {
        cancellation.cancel();
        return support::Status(support::Unit{});
    };
    start();
    harness.sleeper->elapseAll();
    harness.drain();
    EXPECT_TRUE(testing::cancelled(outcome));
    EXPECT_EQ(harness.trashed, std::vector<fs::path>{plan.items[0].url});
}

TEST_F(AppUninstallServiceTest, ARealRunMovesTheBundleToTheTrashAndLosesNothingThatStays) {
    platform::TrashEnvironment trash;
    trash.home = harness.home;
    harness.trashOutcome = [&trash](const fs::path& path) {
        return platform::moveToTrash(path, trash);
    };
    // The preferences file vanishes before the run; the cache folder holds the trash itself and
    // so cannot be moved into it.
    fs::remove(plan.items[2].url);
    trash.dataHome = plan.items[1].url / "share";

    start();
    const auto& report = finish();

    ASSERT_EQ(report.succeeded.size(), 1U);
    EXPECT_EQ(report.succeeded[0].id, plan.items[0].id);
    EXPECT_TRUE(
        fs::exists(trash.dataHome / "Trash" / "files" / "Notes.app" / "Contents" / "Info.plist"));
    EXPECT_FALSE(fs::exists(plan.items[0].url));
    ASSERT_EQ(report.failed.size(), 2U);
    EXPECT_EQ(report.failed[0].id, plan.items[1].id);
    EXPECT_TRUE(
        report.failed[0].reason.starts_with("In den Papierkorb verschieben fehlgeschlagen: "));
    EXPECT_EQ(testing::readTextFile(plan.items[1].url / "db").size(), 100U);
    EXPECT_EQ(report.failed[1].id, plan.items[2].id);
}

}  // namespace
}  // namespace quillo
