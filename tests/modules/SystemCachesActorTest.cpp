#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "modules/FileModuleTestSupport.h"
#include "modules/SystemCachesActor.h"
#include "support/Outcomes.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using testing::allocatedSize;
using testing::displayNamesOf;
using testing::itemNamed;
using testing::setAge;
using Warnings = std::vector<CleanableItemWarning>;

constexpr std::int64_t kLongAgo = std::int64_t{30} * 86'400;
constexpr std::int64_t kOneWeek = 604'800;
constexpr std::int64_t kLargeCacheBytes = 500'000'000;
constexpr std::int64_t kBlock = 4096;
constexpr auto kEditor = "com.example.editor";

class SystemCachesActorTest : public ::testing::Test {
  protected:
    std::shared_ptr<SystemCachesActor> makeModule(
        std::vector<std::filesystem::path> roots,
        std::shared_ptr<SecureDeletionService> service = nullptr) {
        return std::make_shared<SystemCachesActor>(
            std::move(roots),
            [this](std::function<void(std::set<std::string>)> answer) {
                ++runningQuestions;
                // Answers later, as the main thread does.
                fixture.executor->post([this, answer = std::move(answer)] { answer(running); });
            },
            fixture.depthProvider(), std::move(service), fixture.environment());
    }

    CleanableItems scannedItems(ScanDepth depth = ScanDepth::standard) {
        fixture.depth = depth;
        return fixture.scannedItems(*module);
    }

    /// A cache folder holding one file of `bytes`, last modified `age` seconds ago; returns the
    /// file's allocated size.
    static std::int64_t makeCache(const std::filesystem::path& cache, std::size_t bytes = 10'000,
                                  std::int64_t age = kLongAgo) {
        testing::makeFile(cache / "data", bytes);
        setAge(cache, age);
        return allocatedSize(cache / "data");
    }

    /// Starts a scan of `roots` on a pool of its own, so that the test can step the sizing.
    void startWithSeparatePool(const support::CancellationToken& token,
                               std::vector<std::filesystem::path> roots) {
        fixture.pool = std::make_shared<support::ManualExecutor>();
        module = makeModule(std::move(roots));
        module->scan(token,
                     [this](const support::Result<CleanableItems>& items) { outcome = items; });
        fixture.executor->runAll();
        ASSERT_GT(fixture.pool->pendingCount(), 0U) << "the first root is not being sized";
    }

    testing::TemporaryDirectory folder;
    testing::FileModuleFixture fixture;
    std::filesystem::path userRoot = folder / "home/Library/Caches";
    std::filesystem::path systemRoot = folder / "Library/Caches";
    std::set<std::string> running{kEditor, "com.quillo.app"};
    int runningQuestions = 0;
    std::shared_ptr<SystemCachesActor> module = makeModule({userRoot, systemRoot});
    std::optional<support::Result<CleanableItems>> outcome;
};

TEST_F(SystemCachesActorTest, OffersEveryTopLevelEntryWholeRootsInOrderEachSortedByName) {
    testing::makeFile(userRoot / "b.cache/one", 20'000);
    testing::makeFile(userRoot / "b.cache/sub/two", 30'000);
    setAge(userRoot / "b.cache", kLongAgo);
    const auto upperA = makeCache(userRoot / "A");
    testing::makeFile(userRoot / "a", 5'000);
    setAge(userRoot / "a", kLongAgo);
    makeCache(userRoot / ".hidden");
    const auto systemZ = makeCache(systemRoot / "com.z", 70'000);
    const auto systemA = makeCache(systemRoot / "com.a", 1);

    const auto items = scannedItems();
    ASSERT_EQ(displayNamesOf(items),
              (std::vector<std::string>{"A", "a", "b.cache", "com.a", "com.z"}));
    EXPECT_EQ(items[0].url, userRoot / "A");
    EXPECT_EQ(items[2].url, userRoot / "b.cache");
    EXPECT_EQ(items[3].url, systemRoot / "com.a");
    EXPECT_EQ(items[0].sizeInBytes, upperA);
    EXPECT_EQ(items[1].sizeInBytes, allocatedSize(userRoot / "a"));
    EXPECT_EQ(items[2].sizeInBytes, allocatedSize(userRoot / "b.cache/one") +
                                        allocatedSize(userRoot / "b.cache/sub/two"));
    EXPECT_EQ(items[3].sizeInBytes, systemA);
    EXPECT_EQ(items[4].sizeInBytes, systemZ);
    std::set<Uuid> ids;
    for (const auto& item : items) {
        ids.insert(item.id);
        EXPECT_EQ(item.lastModified, fixture.now - std::chrono::seconds(kLongAgo));
        EXPECT_EQ(item.moduleID, CleaningModuleID::systemCaches);
        EXPECT_TRUE(item.warnings.empty()) << item.displayName;
        EXPECT_TRUE(item.isSafeToDeleteByDefault) << item.displayName;
    }
    EXPECT_EQ(ids.size(), items.size());
}

class RunningApplicationCachesTest : public SystemCachesActorTest {
  protected:
    void SetUp() override {
        for (const auto* name :
             {kEditor, "Com.Example.Editor", "com.example.editor.helper", "com.other"}) {
            makeCache(userRoot / name);
        }
        makeCache(systemRoot / kEditor);
    }
};

TEST_F(RunningApplicationCachesTest, AStandardScanPassesOverThemByTheirExactName) {
    const auto items = scannedItems(ScanDepth::standard);
    EXPECT_EQ(
        displayNamesOf(items),
        (std::vector<std::string>{"Com.Example.Editor", "com.example.editor.helper", "com.other"}));
    for (const auto& item : items) {
        EXPECT_TRUE(item.warnings.empty()) << item.displayName;
        EXPECT_TRUE(item.isSafeToDeleteByDefault) << item.displayName;
    }
}

TEST_F(RunningApplicationCachesTest, ADeepScanOffersThemInUseAndNotPreselected) {
    const auto items = scannedItems(ScanDepth::deep);
    ASSERT_EQ(displayNamesOf(items),
              (std::vector<std::string>{"Com.Example.Editor", kEditor, "com.example.editor.helper",
                                        "com.other", kEditor}));
    for (const auto index : {1U, 4U}) {
        EXPECT_EQ(items[index].warnings, Warnings{CleanableItemWarning::lockedByRunningProcess});
        EXPECT_FALSE(items[index].isSafeToDeleteByDefault);
    }
    EXPECT_EQ(items[4].url, systemRoot / kEditor);
    for (const auto index : {0U, 2U, 3U}) {
        EXPECT_TRUE(items[index].warnings.empty()) << items[index].displayName;
        EXPECT_TRUE(items[index].isSafeToDeleteByDefault) << items[index].displayName;
    }
}

TEST_F(SystemCachesActorTest, RecentlyModifiedCachesAreMarkedButStayPreselected) {
    makeCache(userRoot / "two-days", 10'000, std::int64_t{2} * 86'400);
    makeCache(userRoot / "a-second-short-of-a-week", 10'000, kOneWeek - 1);
    makeCache(userRoot / "exactly-a-week", 10'000, kOneWeek);
    makeCache(userRoot / "from-the-future", 10'000, -3'600);

    const auto items = scannedItems();
    ASSERT_EQ(items.size(), 4U);
    for (const auto* name : {"two-days", "a-second-short-of-a-week", "from-the-future"}) {
        const auto* item = itemNamed(items, name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->warnings, Warnings{CleanableItemWarning::recentlyModified}) << name;
        EXPECT_TRUE(item->isSafeToDeleteByDefault) << name;
    }
    const auto* weekOld = itemNamed(items, "exactly-a-week");
    ASSERT_NE(weekOld, nullptr);
    EXPECT_TRUE(weekOld->warnings.empty());
}

TEST_F(SystemCachesActorTest, ACacheWithoutAllocatedBytesIsNotOffered) {
    std::filesystem::create_directories(userRoot / "empty");
    std::filesystem::create_directories(userRoot / "only-folders/a/b");
    testing::makeFile(userRoot / "only-hidden/.data", 50'000);
    testing::makeFile(userRoot / "only-hidden/.sub/data", 50'000);
    testing::makeFile(userRoot / "zero-bytes", 0);
    makeCache(systemRoot / "kept");
    EXPECT_EQ(displayNamesOf(scannedItems()), std::vector<std::string>{"kept"});
}

TEST_F(SystemCachesActorTest, TheLargeFileWarningWeighsTheWholeFolderAboveFiveHundredMillion) {
    // Allocated sizes come in 512-byte units and 500,000,000 is not one of them: the sizes
    // below and above it come within a few blocks.
    const auto below = testing::makeFileAllocatingAtMost(userRoot / "below/data", kLargeCacheBytes);
    // Two files each far below the threshold that together just exceed it.
    const auto half =
        testing::makeFileAllocatingAtMost(userRoot / "above/one", kLargeCacheBytes / 2);
    ASSERT_NO_FATAL_FAILURE(
        testing::makeAllocatedFile(userRoot / "above/two", kLargeCacheBytes - half + 1));
    setAge(userRoot / "below", kLongAgo);
    setAge(userRoot / "above", kLongAgo);
    const auto above = half + allocatedSize(userRoot / "above/two");
    ASSERT_GT(below, kLargeCacheBytes - 4 * kBlock);
    ASSERT_GT(above, kLargeCacheBytes);
    ASSERT_LE(above, kLargeCacheBytes + 4 * kBlock);

    const auto items = scannedItems();
    ASSERT_EQ(displayNamesOf(items), (std::vector<std::string>{"above", "below"}));
    EXPECT_EQ(items[0].sizeInBytes, above);
    EXPECT_EQ(items[0].warnings, Warnings{CleanableItemWarning::largeFile});
    EXPECT_TRUE(items[0].isSafeToDeleteByDefault);
    EXPECT_EQ(items[1].sizeInBytes, below);
    EXPECT_TRUE(items[1].warnings.empty());
}

TEST_F(SystemCachesActorTest, WarningsComeLargeThenRecentThenInUse) {
    ASSERT_NO_FATAL_FAILURE(
        testing::makeAllocatedFile(userRoot / kEditor / "data", kLargeCacheBytes + kBlock));
    setAge(userRoot / kEditor, 60);
    const auto items = scannedItems(ScanDepth::deep);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].warnings,
              (Warnings{CleanableItemWarning::largeFile, CleanableItemWarning::recentlyModified,
                        CleanableItemWarning::lockedByRunningProcess}));
    EXPECT_FALSE(items[0].isSafeToDeleteByDefault);
}

TEST_F(SystemCachesActorTest, LinksAreOfferedAsThemselvesAndNeverLeadOutOfTheRoot) {
    // A long target keeps the link in a block of its own, so that it has a size to offer.
    const auto outside = folder / std::string(150, 'o');
    ASSERT_NO_FATAL_FAILURE(testing::makeAllocatedFile(outside / "big", 8'000'000));
    testing::makeSymlink(outside, userRoot / "linked");
    testing::makeFile(userRoot / "com.inside/data", 10'000);
    testing::makeSymlink(outside, userRoot / "com.inside/out");
    setAge(userRoot / "linked", kLongAgo);
    setAge(userRoot / "com.inside", kLongAgo);
    const auto ownSize = allocatedSize(userRoot / "linked");
    ASSERT_GT(ownSize, 0);
    ASSERT_LT(ownSize, allocatedSize(outside / "big"));

    const auto items = scannedItems();
    ASSERT_EQ(displayNamesOf(items), (std::vector<std::string>{"com.inside", "linked"}));
    EXPECT_EQ(items[0].sizeInBytes, allocatedSize(userRoot / "com.inside/data") +
                                        allocatedSize(userRoot / "com.inside/out"));
    EXPECT_EQ(items[1].url, userRoot / "linked");
    EXPECT_EQ(items[1].sizeInBytes, ownSize);
    EXPECT_EQ(items[1].lastModified, fixture.now - std::chrono::seconds(kLongAgo));
    EXPECT_TRUE(items[1].isSafeToDeleteByDefault);
}

TEST_F(SystemCachesActorTest, EveryScanAsksForTheDepthAndTheRunningApplicationsOnce) {
    makeCache(userRoot / "com.a");
    makeCache(systemRoot / "com.b");
    scannedItems();
    EXPECT_EQ(runningQuestions, 1);
    EXPECT_EQ(fixture.depthQuestions, 1);
    scannedItems(ScanDepth::deep);
    EXPECT_EQ(runningQuestions, 2);
    EXPECT_EQ(fixture.depthQuestions, 2);
}

TEST_F(SystemCachesActorTest, AnEntryThatVanishesBeforeItIsSizedIsLeftOut) {
    for (const auto* name : {"com.a", "com.b", "com.c"}) {
        makeCache(userRoot / name);
    }
    ASSERT_NO_FATAL_FAILURE(startWithSeparatePool({}, {userRoot}));
    std::filesystem::remove_all(userRoot / "com.b");
    fixture.runUntilIdle();
    ASSERT_TRUE(testing::succeeded(outcome));
    EXPECT_EQ(displayNamesOf(outcome->value()), (std::vector<std::string>{"com.a", "com.c"}));
}

}  // namespace
}  // namespace quillo
