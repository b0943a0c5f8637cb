#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "modules/FilesystemEnumeration.h"
#include "modules/SleepImageActor.h"
#include "support/ManualExecutor.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using testing::allocatedSize;
using testing::TemporaryDirectory;
using Warnings = std::vector<CleanableItemWarning>;

constexpr std::int64_t kTwoGibibytes = 2'147'483'648;
constexpr std::int64_t kBlock = 4096;

/// A file whose `bytes` are allocated on disk without being written.
void makeAllocatedFile(const std::filesystem::path& path, std::int64_t bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const int allocated = ::fallocate(fd, 0, 0, bytes);
    ::close(fd);
    ASSERT_EQ(allocated, 0) << "fallocate is needed for an image of real allocated size";
}

class SleepImageActorTest : public ::testing::Test {
  protected:
    std::shared_ptr<SleepImageActor> makeModule(std::optional<std::filesystem::path> url) {
        return std::make_shared<SleepImageActor>(
            std::move(url),
            [this](std::function<void(std::optional<std::int32_t>)> answer) {
                ++modeQuestions;
                pendingMode = std::move(answer);
            },
            nullptr, ModuleEnvironment{.context = executor});
    }

    /// Scans to the end, answering the mode question with `mode` if it is asked.
    std::optional<support::Result<CleanableItems>> scan(
        std::optional<std::int32_t> mode, const support::CancellationToken& token = {}) {
        std::optional<support::Result<CleanableItems>> outcome;
        module->scan(token, [&](support::Result<CleanableItems> items) { outcome = items; });
        executor->runAll();
        if (pendingMode) {
            std::exchange(pendingMode, nullptr)(mode);
            executor->runAll();
        }
        return outcome;
    }

    /// The one item a scan with `mode` offers; fails the test if there is not
    /// exactly one.
    CleanableItem onlyItem(std::optional<std::int32_t> mode) {
        const auto outcome = scan(mode);
        EXPECT_TRUE(outcome && outcome->ok());
        if (!outcome || !outcome->ok() || outcome->value().size() != 1) {
            ADD_FAILURE() << "expected exactly one item";
            return {};
        }
        return outcome->value().front();
    }

    void expectNoItem(std::optional<std::int32_t> mode = 0) {
        const auto outcome = scan(mode);
        ASSERT_TRUE(outcome.has_value());
        ASSERT_TRUE(outcome->ok());
        EXPECT_TRUE(outcome->value().empty());
    }

    TemporaryDirectory folder;
    std::filesystem::path image = folder / "sleepimage";
    std::shared_ptr<support::ManualExecutor> executor = std::make_shared<support::ManualExecutor>();
    int modeQuestions = 0;
    std::function<void(std::optional<std::int32_t>)> pendingMode;
    std::shared_ptr<SleepImageActor> module = makeModule(image);
};

TEST_F(SleepImageActorTest, DescribesItself) {
    EXPECT_EQ(module->id(), CleaningModuleID::sleepImage);
    EXPECT_EQ(module->displayName(), LocalizableText::ownKey("Ruhezustand-Abbild"));
    EXPECT_EQ(module->explanation(),
              LocalizableText::ownKey("Abbild des Arbeitsspeichers für den Tiefschlaf. Nur sicher "
                                      "zu löschen, wenn Tiefschlaf deaktiviert ist."));
    EXPECT_EQ(module->symbolName(), "powersleep");
    EXPECT_DOUBLE_EQ(module->estimatedScanDuration(), 0.3);
    EXPECT_TRUE(module->isDestructive());
    EXPECT_FALSE(module->isAvailableInSandbox());
    EXPECT_TRUE(module->requiresFullDiskAccess());
    EXPECT_EQ(module->sleepImageURL(), image);
}

TEST_F(SleepImageActorTest, ALargeImageWhileHibernatingIsOfferedButNotPreselected) {
    makeAllocatedFile(image, kTwoGibibytes);
    const auto item = onlyItem(3);
    EXPECT_EQ(item.url, image);
    EXPECT_EQ(item.displayName, "sleepimage");
    // Its allocated size: the bytes and whatever blocks the file system adds to
    // map them.
    EXPECT_EQ(item.sizeInBytes, allocatedSize(image));
    EXPECT_GE(item.sizeInBytes, kTwoGibibytes);
    EXPECT_EQ(item.lastModified, makeEntry(image)->lastModified);
    EXPECT_EQ(item.moduleID, CleaningModuleID::sleepImage);
    EXPECT_EQ(item.warnings,
              (Warnings{CleanableItemWarning::irreversible, CleanableItemWarning::hibernationActive,
                        CleanableItemWarning::largeFile}));
    EXPECT_FALSE(item.isSafeToDeleteByDefault);
    EXPECT_EQ(modeQuestions, 1);
}

TEST_F(SleepImageActorTest, WithHibernationOffOrUnreadableTheImageIsPreselected) {
    makeAllocatedFile(image, kTwoGibibytes);
    for (const auto mode : {std::optional<std::int32_t>(0), std::optional<std::int32_t>()}) {
        const auto item = onlyItem(mode);
        EXPECT_EQ(item.warnings,
                  (Warnings{CleanableItemWarning::irreversible, CleanableItemWarning::largeFile}));
        EXPECT_TRUE(item.isSafeToDeleteByDefault);
    }
}

TEST_F(SleepImageActorTest, EveryScanGivesTheImageANewIdentity) {
    makeAllocatedFile(image, kBlock);
    EXPECT_NE(onlyItem(0).id, onlyItem(0).id);
}

TEST_F(SleepImageActorTest, TheLargeFileWarningCountsAllocatedBytesAboveOneBillion) {
    // Blocks come in 4096 bytes, and the file system adds its own for a large
    // file, so the exact boundary is checked on entries above; here the sizes
    // just below and above it.
    makeAllocatedFile(image, 999'000'000);
    ASSERT_LE(allocatedSize(image), 1'000'000'000);
    ASSERT_GT(allocatedSize(image), 998'000'000);
    auto item = onlyItem(0);
    EXPECT_EQ(item.sizeInBytes, allocatedSize(image));
    EXPECT_EQ(item.warnings, Warnings{CleanableItemWarning::irreversible});
    makeAllocatedFile(image, 1'000'000'001);
    ASSERT_GT(allocatedSize(image), 1'000'000'000);
    item = onlyItem(0);
    EXPECT_EQ(item.sizeInBytes, allocatedSize(image));
    EXPECT_EQ(item.warnings,
              (Warnings{CleanableItemWarning::irreversible, CleanableItemWarning::largeFile}));
}

TEST_F(SleepImageActorTest, ASparseImageCountsOnlyWhatItOccupies) {
    testing::makeSparseFile(image, kTwoGibibytes);
    const auto item = onlyItem(0);
    EXPECT_EQ(item.sizeInBytes, allocatedSize(image));
    EXPECT_LT(item.sizeInBytes, 1'000'000'000);
    EXPECT_EQ(item.warnings, Warnings{CleanableItemWarning::irreversible});
}

TEST(SleepImageItemTest, TheThresholdLiesExactlyAboveOneBillionBytes) {
    FilesystemEntry entry{"/private/var/vm/sleepimage", 1'000'000'000, TimePoint{}, false,
                          "sleepimage"};
    EXPECT_EQ(sleepImageItem(entry, 0)->warnings, Warnings{CleanableItemWarning::irreversible});
    entry.sizeInBytes = 1'000'000'001;
    EXPECT_EQ(sleepImageItem(entry, 0)->warnings,
              (Warnings{CleanableItemWarning::irreversible, CleanableItemWarning::largeFile}));
}

TEST(SleepImageItemTest, AnyModeButZeroMeansHibernation) {
    FilesystemEntry entry{"/private/var/vm/sleepimage", 1, TimePoint{}, false, "sleepimage"};
    for (const std::int32_t mode : {1, 3, 25, -1}) {
        const auto item = sleepImageItem(entry, mode);
        ASSERT_TRUE(item.has_value());
        EXPECT_FALSE(item->isSafeToDeleteByDefault) << mode;
        EXPECT_EQ(item->warnings, (Warnings{CleanableItemWarning::irreversible,
                                            CleanableItemWarning::hibernationActive}));
    }
    EXPECT_TRUE(sleepImageItem(entry, 0)->isSafeToDeleteByDefault);
    EXPECT_TRUE(sleepImageItem(entry, std::nullopt)->isSafeToDeleteByDefault);
}

TEST(SleepImageItemTest, FoldersAndEmptyFilesAreNoImage) {
    EXPECT_FALSE(sleepImageItem({"/a", 0, TimePoint{}, false, "a"}, 0));
    EXPECT_FALSE(sleepImageItem({"/a", -1, TimePoint{}, false, "a"}, 0));
    EXPECT_FALSE(sleepImageItem({"/a", 4096, TimePoint{}, true, "a"}, 0));
    EXPECT_TRUE(sleepImageItem({"/a", 1, TimePoint{}, false, "a"}, 0));
}

TEST_F(SleepImageActorTest, NothingAtThePathOffersNothingWithoutAskingTheMode) {
    expectNoItem();
    testing::makeFile(image, 0);
    expectNoItem();
    std::filesystem::remove(image);
    std::filesystem::create_directory(image);
    testing::makeFile(image / "inside", 8192);
    expectNoItem();
    EXPECT_EQ(modeQuestions, 0);
}

TEST_F(SleepImageActorTest, WithoutAnImagePathNothingIsOffered) {
    module = makeModule(std::nullopt);
    expectNoItem();
    EXPECT_EQ(modeQuestions, 0);
}

TEST_F(SleepImageActorTest, ALinkAtThePathIsNeverSizedThroughItsTarget) {
    makeAllocatedFile(folder / "target", kTwoGibibytes);
    std::filesystem::create_symlink("target", image);
    const auto own = allocatedSize(image);
    const auto outcome = scan(0);
    ASSERT_TRUE(outcome && outcome->ok());
    if (own == 0) {
        EXPECT_TRUE(outcome->value().empty());
    } else {
        ASSERT_EQ(outcome->value().size(), 1U);
        EXPECT_EQ(outcome->value()[0].sizeInBytes, own);
    }
}

TEST_F(SleepImageActorTest, ACancelledScanFailsWithCancellation) {
    makeAllocatedFile(image, kBlock);
    support::CancellationSource before;
    before.cancel();
    auto outcome = scan(0, before.token());
    ASSERT_TRUE(outcome && !outcome->ok());
    EXPECT_TRUE(outcome->error().isCancellation());
    EXPECT_EQ(modeQuestions, 0);

    support::CancellationSource whileAsking;
    outcome.reset();
    module->scan(whileAsking.token(),
                 [&](support::Result<CleanableItems> items) { outcome = items; });
    executor->runAll();
    ASSERT_TRUE(pendingMode);
    whileAsking.cancel();
    pendingMode(0);
    executor->runAll();
    ASSERT_TRUE(outcome && !outcome->ok());
    EXPECT_TRUE(outcome->error().isCancellation());
}

}  // namespace
}  // namespace quillo
