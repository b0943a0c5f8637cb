#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "deletion/ReceiptStore.h"
#include "deletion/SecureDeletionService.h"
#include "modules/EngineTestSupport.h"
#include "modules/FontCacheActor.h"
#include "modules/ModuleLocations.h"
#include "modules/SleepImageActor.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using testing::StreamRecording;
using testing::TemporaryDirectory;

/// The sleep image and font cache modules deleting through a real service over
/// a fake tree, with receipts kept in memory and every context driven by the
/// test.
class ToolModuleDeletionTest : public ::testing::Test {
  protected:
    std::shared_ptr<SecureDeletionService> makeService(DeletionMode mode) {
        ModuleLocations locations;
        locations.sleepImage = sleepImage;
        locations.fontRoots = {userCache, systemCache};
        DeletionEnvironment environment;
        environment.moduleAreas = deletionAreas(locations);
        return SecureDeletionService::create(
            [mode](const std::function<void(DeletionMode)>& answer) { answer(mode); }, store,
            executor, std::move(environment));
    }

    std::shared_ptr<FontCacheActor> makeFontModule(
        const std::shared_ptr<SecureDeletionService>& service) {
        return std::make_shared<FontCacheActor>(
            std::vector{userCache, systemCache},
            [this](support::Completion<support::Unit> done) {
                hookRunsAfterEvents.push_back(recording.events.size());
                pendingHook = std::move(done);
            },
            service, ModuleEnvironment{.context = executor, .pool = executor});
    }

    template <class Module>
    CleanableItems scanned(Module& module) {
        std::optional<support::Result<CleanableItems>> outcome;
        module.scan({}, [&](const support::Result<CleanableItems>& items) { outcome = items; });
        executor->runAll();
        EXPECT_TRUE(outcome && outcome->ok());
        return outcome && outcome->ok() ? outcome->value() : CleanableItems{};
    }

    template <class Module>
    void deleteAll(Module& module, CleanableItems items) {
        stream.emplace(module.deleteItems(std::move(items)));
        testing::record(*stream, executor, recording);
        executor->runAll();
    }

    std::vector<DeletionReceipt> storedReceipts() {
        std::vector<DeletionReceipt> receipts;
        store->cachedReceipts([&](support::Result<std::vector<DeletionReceipt>> cached) {
            ASSERT_TRUE(cached.ok());
            receipts = cached.value();
        });
        executor->runAll();
        return receipts;
    }

    TemporaryDirectory folder;
    std::filesystem::path userCache = folder / "home/Library/Caches/com.apple.ATS";
    std::filesystem::path systemCache = folder / "Library/Caches/com.apple.ATS";
    std::filesystem::path sleepImage = folder / "sleepimage";
    std::shared_ptr<support::ManualExecutor> executor = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<ReceiptStore> store = ReceiptStore::create(ReceiptStore::InMemory{}, executor);
    std::optional<support::EventStream<DeletionEvent>> stream;
    StreamRecording recording;
    std::vector<std::size_t> hookRunsAfterEvents;
    support::Completion<support::Unit> pendingHook;
};

TEST_F(ToolModuleDeletionTest, TheSleepImageGoesThroughTheServiceWithItsEvents) {
    const auto image = sleepImage;
    testing::makeFile(image, 70'000);
    auto module = std::make_shared<SleepImageActor>(
        image, [](const std::function<void(std::optional<std::int32_t>)>& answer) { answer(0); },
        makeService(DeletionMode::secureOverwrite), ModuleEnvironment{.context = executor});
    const auto items = scanned(*module);
    ASSERT_EQ(items.size(), 1U);
    deleteAll(*module, items);

    EXPECT_FALSE(std::filesystem::exists(image));
    ASSERT_TRUE(recording.endedNormally());
    ASSERT_EQ(recording.events.size(), 4U);
    EXPECT_EQ(std::get<DeletionStarted>(recording.events[0]).moduleID,
              CleaningModuleID::sleepImage);
    EXPECT_EQ(std::get<DeletionItemStarted>(recording.events[1]).item, items[0]);
    const auto& completed = std::get<DeletionItemCompleted>(recording.events[2]);
    EXPECT_EQ(completed.record.id, items[0].id);
    const auto& report = std::get<DeletionFinished>(recording.events[3]).report;
    EXPECT_EQ(report.moduleID, CleaningModuleID::sleepImage);
    ASSERT_EQ(report.succeeded.size(), 1U);
    const auto receipts = storedReceipts();
    ASSERT_EQ(receipts.size(), 1U);
    EXPECT_EQ(receipts[0].hash, report.succeeded[0].receiptHash);
    EXPECT_EQ(receipts[0].moduleID, CleaningModuleID::sleepImage);
}

TEST_F(ToolModuleDeletionTest, FontCachesAreRemovedAndTheHookRunsOnceBeforeFinished) {
    testing::makeFile(userCache / "annex.db", 40'000);
    testing::makeFile(systemCache / "501/0042.fcache", 12'000);
    auto module = makeFontModule(makeService(DeletionMode::standard));
    const auto items = scanned(*module);
    ASSERT_EQ(items.size(), 2U);
    deleteAll(*module, items);

    EXPECT_FALSE(std::filesystem::exists(userCache));
    EXPECT_FALSE(std::filesystem::exists(systemCache));
    // After every item was processed, before `finished`: only `started` had been
    // sent.
    EXPECT_EQ(hookRunsAfterEvents, std::vector<std::size_t>{1});
    ASSERT_TRUE(pendingHook);
    EXPECT_FALSE(recording.end.has_value());
    std::exchange(pendingHook, nullptr)(support::Unit{});
    executor->runAll();

    ASSERT_TRUE(recording.endedNormally());
    ASSERT_EQ(recording.events.size(), 2U);
    EXPECT_EQ(std::get<DeletionStarted>(recording.events[0]).totalCount, 2U);
    const auto& report = std::get<DeletionFinished>(recording.events[1]).report;
    EXPECT_EQ(report.moduleID, CleaningModuleID::fontCache);
    EXPECT_EQ(report.succeeded.size(), 2U);
    EXPECT_EQ(storedReceipts().size(), 2U);
}

TEST_F(ToolModuleDeletionTest, AFailingHookLeavesTheReportAsItIs) {
    testing::makeFile(userCache / "annex.db", 40'000);
    auto module = makeFontModule(makeService(DeletionMode::secureOverwriteThreePass));
    deleteAll(*module, scanned(*module));
    ASSERT_TRUE(pendingHook);
    std::exchange(pendingHook, nullptr)(support::Error::make(testing::ToolFailure{}));
    executor->runAll();

    ASSERT_TRUE(recording.endedNormally());
    ASSERT_EQ(recording.events.size(), 2U);
    const auto& report = std::get<DeletionFinished>(recording.events[1]).report;
    EXPECT_EQ(report.succeeded.size(), 1U);
    EXPECT_TRUE(report.failed.empty());
    EXPECT_FALSE(std::filesystem::exists(userCache));
}

TEST_F(ToolModuleDeletionTest, WhenEveryRemovalFailsTheHookDoesNotRun) {
    testing::makeFile(userCache / "annex.db", 40'000);
    auto module = makeFontModule(makeService(DeletionMode::standard));
    auto items = scanned(*module);
    ASSERT_EQ(items.size(), 1U);
    std::filesystem::remove_all(userCache);
    deleteAll(*module, items);

    EXPECT_TRUE(hookRunsAfterEvents.empty());
    ASSERT_TRUE(recording.endedNormally());
    ASSERT_EQ(recording.events.size(), 2U);
    const auto& report = std::get<DeletionFinished>(recording.events[1]).report;
    EXPECT_TRUE(report.succeeded.empty());
    ASSERT_EQ(report.failed.size(), 1U);
    EXPECT_EQ(report.failed[0].id, items[0].id);
    EXPECT_TRUE(storedReceipts().empty());
}

TEST_F(ToolModuleDeletionTest, AFontDeletionGivenUpBeforeItStartsRemovesNothing) {
    testing::makeFile(userCache / "annex.db", 40'000);
    auto module = makeFontModule(makeService(DeletionMode::standard));
    const auto items = scanned(*module);
    { auto dropped = module->deleteItems(items); }
    executor->runAll();
    EXPECT_TRUE(std::filesystem::exists(userCache / "annex.db"));
    EXPECT_TRUE(hookRunsAfterEvents.empty());
    EXPECT_TRUE(storedReceipts().empty());
}

TEST_F(ToolModuleDeletionTest, DeletingNoFontCachesReportsNothing) {
    auto module = makeFontModule(makeService(DeletionMode::standard));
    deleteAll(*module, {});
    EXPECT_TRUE(hookRunsAfterEvents.empty());
    ASSERT_TRUE(recording.endedNormally());
    ASSERT_EQ(recording.events.size(), 2U);
    EXPECT_EQ(std::get<DeletionStarted>(recording.events[0]).totalCount, 0U);
    EXPECT_TRUE(std::get<DeletionFinished>(recording.events[1]).report.succeeded.empty());
}

}  // namespace
}  // namespace quillo
