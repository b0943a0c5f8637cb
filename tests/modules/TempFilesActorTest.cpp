#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <filesystem>
#include <string>
#include <vector>

#include "deletion/SecureDeletionServiceHarness.h"
#include "modules/FileModuleTestSupport.h"
#include "modules/FilesystemEnumeration.h"
#include "modules/TempFilesActor.h"
#include "platform/FileDescriptor.h"
#include "support/FileLocks.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using testing::allocatedSize;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::holdLock;
using ::testing::IsEmpty;
using testing::TemporaryDirectory;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;
using testing::urlsOf;
using Paths = std::vector<std::filesystem::path>;
using Warnings = std::vector<CleanableItemWarning>;

constexpr std::int64_t kLargeFileLimit = 200'000'000;

class TempFilesActorTest : public ::testing::Test, protected testing::FileModuleFixture {
  protected:
    std::shared_ptr<TempFilesActor> makeModule(
        Paths roots, std::shared_ptr<SecureDeletionService> service = {}) {
        return std::make_shared<TempFilesActor>(
            std::move(roots), depthProvider(), std::move(service), environment(),
            [this] {
                ++openFileReads;
                return platform::OpenFiles(heldOpen);
            },
            recentWindow);
    }

    CleanableItems scanned(ScanDepth scanDepth) {
        depth = scanDepth;
        return scannedItems(*module);
    }

    /// The only item of a scan; fails the test if there is not exactly one.
    CleanableItem onlyItem(ScanDepth scanDepth = ScanDepth::standard) {
        const auto items = scanned(scanDepth);
        if (items.size() != 1) {
            ADD_FAILURE() << "expected one item, got " << items.size();
            return {};
        }
        return items.front();
    }

    /// What running processes hold open, as the module's reader reports it.
    std::vector<std::string> heldOpen;
    int openFileReads = 0;
    std::optional<std::chrono::seconds> recentWindow;
    TemporaryDirectory folder;
    std::filesystem::path sharedTemp = folder / "private/tmp";
    std::filesystem::path userTemp = folder / "var/folders/T";
    std::shared_ptr<TempFilesActor> module = makeModule({sharedTemp, userTemp});
};

TEST_F(TempFilesActorTest, AFileDescribedAsItIsOnDisk) {
    const auto file = sharedTemp / "render.tmp";
    testing::makeFile(file, 10'000);
    // Written this moment: temporary files carry no recency warning.
    testing::setAge(file, 0);
    const auto item = onlyItem();
    const auto entry = makeEntry(file);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(item.url, file);
    EXPECT_EQ(item.displayName, "render.tmp");
    EXPECT_EQ(item.sizeInBytes, allocatedSize(file));
    EXPECT_EQ(item.lastModified, entry->lastModified);
    EXPECT_EQ(item.moduleID, CleaningModuleID::tempFiles);
    EXPECT_THAT(item.warnings, IsEmpty());
    EXPECT_TRUE(item.isSafeToDeleteByDefault);
    EXPECT_NE(onlyItem().id, item.id);
    EXPECT_EQ(depthQuestions, 2);
}

TEST_F(TempFilesActorTest, WithARecentWindowYoungerEntriesAreRecentlyModified) {
    const auto file = sharedTemp / "render.tmp";
    testing::makeFile(file, 100);
    constexpr std::int64_t kDay = 86'400;
    const struct {
        std::optional<std::chrono::seconds> window;
        std::int64_t age = 0;
        bool recent = false;
    } cases[] = {
        {std::chrono::hours(24), 0, true},
        {std::chrono::hours(24), kDay - 1, true},
        {std::chrono::hours(24), kDay, false},
        {std::nullopt, 0, false},
    };
    for (const auto& example : cases) {
        recentWindow = example.window;
        module = makeModule({sharedTemp});
        testing::setAge(file, example.age);
        const auto item = onlyItem();
        EXPECT_EQ(item.warnings,
                  example.recent ? Warnings{CleanableItemWarning::recentlyModified} : Warnings{})
            << example.age;
        // Preselection leaves out recent items by their warning alone.
        EXPECT_TRUE(item.isSafeToDeleteByDefault);
    }
}

TEST_F(TempFilesActorTest, AFileLockedByAnotherHolderIsMarkedAndNotPreselected) {
    const auto file = sharedTemp / "session.lock";
    testing::makeFile(file, 100);
    for (const int operation : {LOCK_EX, LOCK_SH}) {
        auto holder = holdLock(file, operation);
        auto item = onlyItem();
        EXPECT_EQ(item.warnings, Warnings{CleanableItemWarning::lockedByRunningProcess});
        EXPECT_FALSE(item.isSafeToDeleteByDefault);

        holder.reset();
        item = onlyItem();
        EXPECT_THAT(item.warnings, IsEmpty());
        EXPECT_TRUE(item.isSafeToDeleteByDefault);
    }
}

TEST_F(TempFilesActorTest, AFileThatCannotBeOpenedCountsAsNotInUse) {
    const auto file = sharedTemp / "secret.lock";
    testing::makeFile(file, 100);
    const auto holder = holdLock(file);
    testing::makeReadableByAll(folder.path());
    // 1 when the item is offered as in use, 0 when as free, -1 for anything else.
    const auto seenUnprivileged = [&](std::filesystem::perms permissions) {
        std::filesystem::permissions(file, permissions);
        return testing::runUnprivileged([&]() -> std::int64_t {
            const auto items = scanned(ScanDepth::standard);
            if (items.size() != 1) {
                return -1;
            }
            // Root's file in root's folder: never the user's to remove, whatever the lock says.
            const auto& warnings = items[0].warnings;
            if (items[0].isSafeToDeleteByDefault || warnings.empty() ||
                warnings.back() != CleanableItemWarning::requiresElevatedPrivileges) {
                return -1;
            }
            return warnings.front() == CleanableItemWarning::lockedByRunningProcess ? 1 : 0;
        });
    };
    // While it can read the file, the unprivileged scan sees the lock.
    EXPECT_EQ(
        seenUnprivileged(std::filesystem::perms::owner_read | std::filesystem::perms::others_read),
        1);
    EXPECT_EQ(seenUnprivileged(std::filesystem::perms::none), 0);
}

TEST_F(TempFilesActorTest, AStandardScanOffersTopLevelEntriesWhole) {
    const auto build = sharedTemp / "build";
    testing::makeFile(build / "a.o", 5000);
    testing::makeFile(build / "sub/b.o", 3000);
    testing::makeFile(userTemp / "z.log", 100);
    // Folders are not tested for use, whatever is locked inside them.
    const auto holder = holdLock(build / "a.o");

    const auto items = scanned(ScanDepth::standard);
    ASSERT_THAT(urlsOf(items), ElementsAre(build, userTemp / "z.log"));
    EXPECT_EQ(items[0].displayName, "build");
    EXPECT_EQ(items[0].sizeInBytes, directorySize(build));
    EXPECT_EQ(items[0].sizeInBytes,
              allocatedSize(build / "a.o") + allocatedSize(build / "sub/b.o"));
    EXPECT_THAT(items[0].warnings, IsEmpty());
    EXPECT_TRUE(items[0].isSafeToDeleteByDefault);
}

TEST_F(TempFilesActorTest, WhatARunningProcessHoldsOpenIsInUseAndSoIsTheFolderAroundIt) {
    const auto service = sharedTemp / "service-private";
    testing::makeFile(service / "state/socket-owner.pid", 100);
    testing::makeFile(sharedTemp / "held.bin", 100);
    testing::makeFile(sharedTemp / "held.bin.old", 100);
    heldOpen = {(service / "state/socket-owner.pid").native(), (sharedTemp / "held.bin").native()};

    for (const auto scanDepth : allScanDepths) {
        for (const auto& item : scanned(scanDepth)) {
            const bool held = item.url != sharedTemp / "held.bin.old";
            EXPECT_EQ(item.isSafeToDeleteByDefault, !held) << item.url;
            EXPECT_EQ(item.warnings,
                      held ? Warnings{CleanableItemWarning::lockedByRunningProcess} : Warnings{})
                << item.url;
        }
    }
    EXPECT_EQ(openFileReads, 2) << "read once per scan";
}

TEST_F(TempFilesActorTest, ADeepScanOffersEveryNonEmptyEntryInWalkOrder) {
    const auto build = sharedTemp / "build";
    testing::makeFile(build / "a.o", 5000);
    testing::makeFile(build / "sub/b.o", 3000);
    testing::makeFile(build / "empty.o", 0);
    std::filesystem::create_directories(build / "sub/nothing");
    testing::makeFile(build / "void/empty.d", 0);
    testing::makeFile(userTemp / "z.log", 100);
    const auto holder = holdLock(build / "a.o");

    const auto items = scanned(ScanDepth::deep);
    Paths walked;
    for (const auto* root : {&sharedTemp, &userTemp}) {
        for (const auto& url : recursiveContents(*root)) {
            if (makeEntry(url)->sizeInBytes > 0) {
                walked.push_back(url);
            }
        }
    }
    ASSERT_THAT(walked, UnorderedElementsAre(build, build / "a.o", build / "sub", build / "sub/b.o",
                                             userTemp / "z.log"));
    ASSERT_THAT(urlsOf(items), ElementsAreArray(walked));
    for (const auto& item : items) {
        const bool isLockedFile = item.url == build / "a.o";
        EXPECT_EQ(item.isSafeToDeleteByDefault, !isLockedFile) << item.url;
        EXPECT_EQ(item.sizeInBytes, makeEntry(item.url)->sizeInBytes) << item.url;
    }
}

TEST_F(TempFilesActorTest, EmptyAndHiddenEntriesAndARootThatIsALinkAreNeverOffered) {
    testing::makeFile(userTemp / "empty.tmp", 0);
    testing::makeFile(userTemp / "only-empty/inside.tmp", 0);
    testing::makeFile(userTemp / ".X11-unix/X0", 4000);
    testing::makeFile(userTemp / "visible/.hidden", 4000);
    testing::makeFile(userTemp / ".hidden.tmp", 4000);
    testing::makeFile(folder / "real/a.tmp", 4000);
    std::filesystem::create_directories(sharedTemp.parent_path());
    testing::makeSymlink(folder / "real", sharedTemp);
    EXPECT_THAT(scanned(ScanDepth::standard), IsEmpty());
    EXPECT_THAT(scanned(ScanDepth::deep), IsEmpty());
}

TEST_F(TempFilesActorTest, ALargeFileInUseWarnsOfTheUseFirstAndIsNotPreselected) {
    const auto file = sharedTemp / "swap.tmp";
    testing::makeAllocatedFile(file, kLargeFileLimit + 1);
    const auto holder = holdLock(file);
    const auto item = onlyItem();
    EXPECT_EQ(item.warnings, (Warnings{CleanableItemWarning::lockedByRunningProcess,
                                       CleanableItemWarning::largeFile}));
    EXPECT_FALSE(item.isSafeToDeleteByDefault);
}

TEST_F(TempFilesActorTest, ALinkIsOfferedAsItselfAndNeverFollowed) {
    // A target path this long is kept in a block of the link's own, so the link has a size.
    const auto outside =
        folder / "elsewhere-outside-every-temporary-root-with-a-rather-long-name/cache";
    testing::makeFile(outside / "big.bin", 1'000'000);
    testing::makeFile(outside / "inner/more.bin", 1'000'000);
    const auto holder = holdLock(outside / "big.bin");
    testing::makeSymlink(outside, sharedTemp / "folder-link");
    testing::makeSymlink(outside / "big.bin", sharedTemp / "file-link");

    for (const auto scanDepth : {ScanDepth::standard, ScanDepth::deep}) {
        const auto items = scanned(scanDepth);
        Paths expected;
        for (const auto& link : {sharedTemp / "file-link", sharedTemp / "folder-link"}) {
            if (allocatedSize(link) > 0) {
                expected.push_back(link);
            }
        }
        ASSERT_THAT(urlsOf(items), UnorderedElementsAreArray(expected));
        for (const auto& item : items) {
            EXPECT_EQ(item.sizeInBytes, allocatedSize(item.url));
            EXPECT_THAT(item.warnings, IsEmpty());
            EXPECT_TRUE(item.isSafeToDeleteByDefault);
        }
    }
}

TEST_F(TempFilesActorTest, DeletingADeepScanRemovesTheFolderAndEachItemInItWithoutFailures) {
    const auto build = sharedTemp / "build";
    testing::makeFile(build / "sub/b.o", 3000);
    testing::SecureDeletionServiceHarness harness(DeletionMode::standard);
    module = makeModule({sharedTemp}, harness.service().shared_from_this());
    const auto items = scanned(ScanDepth::deep);
    ASSERT_THAT(urlsOf(items), ElementsAre(build, build / "sub", build / "sub/b.o"));

    const auto recording = testing::deleteThroughModule(*module, items, harness);
    // Innermost first: removing the folder first would leave its contents to fail as missing.
    testing::expectEveryItemRemoved(recording, CleaningModuleID::tempFiles,
                                    {items[2], items[1], items[0]}, harness);
    EXPECT_THAT(sortedChildren(sharedTemp), IsEmpty());
}

}  // namespace
}  // namespace quillo
