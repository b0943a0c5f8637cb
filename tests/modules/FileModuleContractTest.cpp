#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "modules/ApplicationResidualActor.h"
#include "modules/DiagnosticReportsActor.h"
#include "modules/FileModuleTestSupport.h"
#include "modules/FontCacheActor.h"
#include "modules/SystemCachesActor.h"
#include "modules/SystemLogsActor.h"
#include "modules/TempFilesActor.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

// What every module over folders of files promises, whatever it looks for in them: cancellation
// wins at every step, missing roots are passed over, roots keep their order, and its items go
// through the deletion service with a receipt each.
namespace quillo {
namespace {

namespace fs = std::filesystem;
using testing::FileModuleFixture;
using Paths = std::vector<fs::path>;

constexpr std::int64_t kLongAgo = 30 * 86'400;

struct FileModuleKind {
    const char* name;
    CleaningModuleID id;
    std::function<std::shared_ptr<CleaningModule>(FileModuleFixture&, Paths,
                                                  std::shared_ptr<SecureDeletionService>)>
        make;
    /// Puts something the module offers into `root`; returns the url of the item it becomes.
    std::function<fs::path(const fs::path& root)> plant;
    /// Above this many allocated bytes an item warns that it is large; 0 for never.
    std::int64_t largeItemBytes = 0;
};

/// The file whose bytes make up the size of the item at `url`.
fs::path dataFileOf(const fs::path& url) {
    return fs::is_directory(fs::symlink_status(url)) ? url / "data" : url;
}

fs::path plantOldFile(const fs::path& file) {
    testing::makeFile(file, 10'000);
    testing::setAge(file, kLongAgo);
    return file;
}

fs::path plantOldFolder(const fs::path& folder) {
    plantOldFile(folder / "data");
    testing::setAge(folder, kLongAgo);
    return folder;
}

const FileModuleKind kKinds[] = {
    {"SystemCaches", CleaningModuleID::systemCaches,
     [](FileModuleFixture& fixture, Paths roots, std::shared_ptr<SecureDeletionService> service) {
         return std::make_shared<SystemCachesActor>(
             std::move(roots),
             [](const std::function<void(std::set<std::string>)>& answer) { answer({}); },
             fixture.depthProvider(), std::move(service), fixture.environment());
     },
     [](const fs::path& root) { return plantOldFolder(root / "org.example.cache"); }, 500'000'000},
    {"TempFiles", CleaningModuleID::tempFiles,
     [](FileModuleFixture& fixture, Paths roots, std::shared_ptr<SecureDeletionService> service) {
         return std::make_shared<TempFilesActor>(std::move(roots), fixture.depthProvider(),
                                                 std::move(service), fixture.environment());
     },
     [](const fs::path& root) { return plantOldFile(root / "render.tmp"); }, 200'000'000},
    {"FontCache", CleaningModuleID::fontCache,
     [](FileModuleFixture& fixture, Paths roots, std::shared_ptr<SecureDeletionService> service) {
         return std::make_shared<FontCacheActor>(
             std::move(roots),
             [](const support::Completion<support::Unit>& done) { done(support::Unit{}); },
             std::move(service), fixture.environment());
     },
     [](const fs::path& root) { return plantOldFolder(root); }},
    {"DiagnosticReports", CleaningModuleID::diagnosticReports,
     [](FileModuleFixture& fixture, Paths roots, std::shared_ptr<SecureDeletionService> service) {
         return std::make_shared<DiagnosticReportsActor>(std::move(roots), Paths{},
                                                         fixture.depthProvider(),
                                                         std::move(service), fixture.environment());
     },
     [](const fs::path& root) { return plantOldFile(root / "Editor_2025-01-01.crash"); }},
    {"SystemLogs", CleaningModuleID::systemLogs,
     [](FileModuleFixture& fixture, Paths roots, std::shared_ptr<SecureDeletionService> service) {
         return std::make_shared<SystemLogsActor>(std::move(roots), fixedLogRetention(7),
                                                  fixture.depthProvider(), std::move(service),
                                                  fixture.environment());
     },
     [](const fs::path& root) { return plantOldFile(root / "editor.log"); }, 100'000'000},
    {"ApplicationResidual", CleaningModuleID::applicationResidual,
     [](FileModuleFixture& fixture, Paths roots, std::shared_ptr<SecureDeletionService> service) {
         std::vector<ResidualRoot> residualRoots;
         for (auto& root : roots) {
             residualRoots.push_back(ResidualRoot{.url = std::move(root)});
         }
         return std::make_shared<ApplicationResidualActor>(
             std::move(residualRoots),
             [](const std::string&, const std::function<void(bool)>& answer) { answer(false); },
             std::move(service), fixture.environment());
     },
     [](const fs::path& root) { return plantOldFolder(root / "org.gone.Tool"); }, 500'000'000},
};

class FileModuleContractTest : public ::testing::TestWithParam<FileModuleKind> {
  protected:
    std::shared_ptr<CleaningModule> makeModule(
        Paths roots, std::shared_ptr<SecureDeletionService> service = nullptr) {
        return GetParam().make(fixture, std::move(roots), std::move(service));
    }

    testing::TemporaryDirectory folder;
    FileModuleFixture fixture;
    fs::path first = folder / "first";
    fs::path second = folder / "second";
};

TEST_P(FileModuleContractTest, MissingRootsArePassedOverAndRootsKeepTheirOrder) {
    const auto fromSecond = GetParam().plant(second);
    const auto fromFirst = GetParam().plant(first);
    const auto module = makeModule({folder / "missing", second, folder / "also-missing", first});
    const auto items = fixture.scannedItems(*module);
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].url, fromSecond);
    EXPECT_EQ(items[1].url, fromFirst);
    for (const auto& item : items) {
        EXPECT_EQ(item.moduleID, GetParam().id);
    }
    EXPECT_NE(items[0].id, items[1].id);
}

TEST_P(FileModuleContractTest, AnUnreadableRootIsPassedOver) {
    GetParam().plant(first);
    const auto fromSecond = GetParam().plant(second);
    testing::makeReadableByAll(folder.path());
    testing::makeInaccessible(first);
    const auto module = makeModule({first, second});
    const auto offeredOnlySecond = testing::runUnprivileged([&]() -> std::int64_t {
        const auto outcome = fixture.scanToEnd(*module);
        return outcome && outcome->ok() && outcome->value().size() == 1 &&
               outcome->value()[0].url == fromSecond;
    });
    ASSERT_TRUE(offeredOnlySecond.has_value());
    EXPECT_EQ(*offeredOnlySecond, 1);
}

TEST_P(FileModuleContractTest, ACancelledScanOfMissingRootsFailsToo) {
    const auto module = makeModule({folder / "missing"});
    support::CancellationSource source;
    source.cancel();
    const auto outcome = fixture.scanToEnd(*module, source.token());
    ASSERT_TRUE(outcome && !outcome->ok());
    EXPECT_TRUE(outcome->error().isCancellation());
}

// Runs the scan one task at a time on separate executors and cancels after each number of
// steps: a scan that has not delivered by the time of the cancel must fail with it.
TEST_P(FileModuleContractTest, CancellationWinsAtEveryStepOfTheScan) {
    GetParam().plant(first);
    GetParam().plant(second);
    fixture.pool = std::make_shared<support::ManualExecutor>();
    for (int steps = 0;; ++steps) {
        SCOPED_TRACE(steps);
        ASSERT_LT(steps, 1000) << "the scan never delivered";
        const auto module = makeModule({first, second});
        support::CancellationSource source;
        std::optional<support::Result<CleanableItems>> outcome;
        module->scan(source.token(),
                     [&outcome](support::Result<CleanableItems> items) { outcome = items; });
        for (int step = 0; step < steps && !outcome; ++step) {
            if (!fixture.executor->runOne() && !fixture.pool->runOne()) {
                break;
            }
        }
        if (outcome) {
            EXPECT_TRUE(outcome->ok());
            return;
        }
        source.cancel();
        fixture.runUntilIdle();
        ASSERT_TRUE(outcome.has_value()) << "the cancelled scan never finished";
        ASSERT_FALSE(outcome->ok());
        EXPECT_TRUE(outcome->error().isCancellation());
    }
}

// Allocated sizes come in whole blocks and no limit is a multiple of one: the sizes nearest the
// limit on either side come within a few blocks of it.
TEST_P(FileModuleContractTest, TheLargeItemWarningStartsAboveTheModulesLimitOfAllocatedBytes) {
    const auto limit = GetParam().largeItemBytes;
    if (limit == 0) {
        GTEST_SKIP() << "no item of this module is ever large";
    }
    constexpr std::int64_t kBlock = 4096;
    const auto module = makeModule({first});
    const auto url = GetParam().plant(first);
    const auto data = dataFileOf(url);
    for (const bool above : {false, true}) {
        SCOPED_TRACE(above);
        if (above) {
            ASSERT_NO_FATAL_FAILURE(testing::makeAllocatedFile(data, limit + 1));
        } else {
            ASSERT_GT(testing::makeFileAllocatingAtMost(data, limit), limit - 4 * kBlock);
        }
        testing::setAge(data, kLongAgo);
        testing::setAge(url, kLongAgo);
        const auto items = fixture.scannedItems(*module);
        ASSERT_EQ(items.size(), 1U);
        EXPECT_EQ(items[0].sizeInBytes, testing::allocatedSize(data));
        EXPECT_EQ(items[0].warnings, above ? std::vector{CleanableItemWarning::largeFile}
                                           : std::vector<CleanableItemWarning>{});
        EXPECT_TRUE(items[0].isSafeToDeleteByDefault) << "a large item stays preselected";
    }
}

TEST_P(FileModuleContractTest, DeletesItsItemsThroughTheServiceAndLeavesTheRoots) {
    if (GetParam().id == CleaningModuleID::fontCache) {
        GTEST_SKIP()
            << "the font caches report once for all, after their hook: see the end-to-end test";
    }
    testing::SecureDeletionServiceHarness harness;
    GetParam().plant(first);
    GetParam().plant(second);
    const auto module = makeModule({first, second}, harness.service().shared_from_this());
    const auto items = fixture.scannedItems(*module);
    ASSERT_EQ(items.size(), 2U);

    const auto recording = testing::deleteThroughModule(*module, items, harness);
    testing::expectEveryItemRemoved(recording, GetParam().id, items, harness);
    EXPECT_TRUE(fs::is_directory(first));
    EXPECT_TRUE(fs::is_directory(second));
    EXPECT_TRUE(fixture.scannedItems(*module).empty());
}

INSTANTIATE_TEST_SUITE_P(FileModules, FileModuleContractTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<FileModuleKind>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quillo
