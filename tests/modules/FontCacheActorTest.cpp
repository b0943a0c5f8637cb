#include <gtest/gtest.h>

#include <filesystem>

#include "modules/FileModuleTestSupport.h"
#include "modules/FilesystemEnumeration.h"
#include "modules/FontCacheActor.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using testing::TemporaryDirectory;

class FontCacheActorTest : public ::testing::Test, protected testing::FileModuleFixture {
  protected:
    std::shared_ptr<FontCacheActor> makeModule(std::vector<std::filesystem::path> roots) {
        return std::make_shared<FontCacheActor>(
            std::move(roots), [](const support::Completion<support::Unit>&) {}, nullptr,
            environment());
    }

    /// A cache folder with a few font databases in it.
    static void fillCache(const std::filesystem::path& cache) {
        testing::makeFile(cache / "annex.db", 40'000);
        testing::makeFile(cache / "501" / "fontTablesAnnexes" / "0042.fcache", 12'000);
    }

    TemporaryDirectory folder;
    std::filesystem::path userCache = folder / "home/Library/Caches/com.apple.ATS";
    std::filesystem::path systemCache = folder / "Library/Caches/com.apple.ATS";
    std::shared_ptr<FontCacheActor> module = makeModule({userCache, systemCache});
};

TEST_F(FontCacheActorTest, OffersEachCacheFolderWholeInRootOrder) {
    fillCache(userCache);
    fillCache(systemCache);
    testing::makeFile(systemCache / "extra.db", 100'000);
    const auto items = scannedItems(*module);
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].url, userCache);
    EXPECT_EQ(items[1].url, systemCache);
    for (const auto& item : items) {
        const auto entry = makeEntry(item.url);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(item.displayName, "com.apple.ATS");
        EXPECT_EQ(item.sizeInBytes, entry->sizeInBytes);
        EXPECT_EQ(item.lastModified, entry->lastModified);
        EXPECT_EQ(item.moduleID, CleaningModuleID::fontCache);
        EXPECT_TRUE(item.warnings.empty());
        EXPECT_TRUE(item.isSafeToDeleteByDefault);
    }
    EXPECT_GT(items[1].sizeInBytes, items[0].sizeInBytes);
    EXPECT_NE(items[0].id, items[1].id);
}

TEST_F(FontCacheActorTest, AFolderWithoutBytesIsNotOffered) {
    std::filesystem::create_directories(userCache / "empty");
    testing::makeFile(userCache / "zero.db", 0);
    testing::makeFile(systemCache / ".hidden.db", 50'000);
    EXPECT_TRUE(scannedItems(*module).empty());
}

TEST_F(FontCacheActorTest, ALinkedCacheIsNeverSizedThroughItsTarget) {
    const auto elsewhere = folder / "elsewhere";
    fillCache(elsewhere);
    std::filesystem::create_directories(userCache.parent_path());
    std::filesystem::create_directory_symlink(elsewhere, userCache);
    const auto own = testing::allocatedSize(userCache);
    const auto items = scannedItems(*module);
    if (own == 0) {
        EXPECT_TRUE(items.empty());
    } else {
        ASSERT_EQ(items.size(), 1U);
        EXPECT_EQ(items[0].sizeInBytes, own);
    }
}

}  // namespace
}  // namespace quillo
