#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "modules/FileModuleTestSupport.h"
#include "modules/FilesystemEnumeration.h"
#include "modules/SleepImageActor.h"
#include "support/ManualExecutor.h"
#include "support/Outcomes.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using testing::allocatedSize;
using testing::TemporaryDirectory;
using Warnings = std::vector<CleanableItemWarning>;

constexpr std::int64_t kTwoGibibytes = 2'147'483'648;
constexpr std::int64_t kBlock = 4096;

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
        module->scan(token, [&](const support::Result<CleanableItems>& items) { outcome = items; });
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
        ASSERT_TRUE(testing::succeeded(outcome));
        EXPECT_TRUE(outcome->value().empty());
    }

    TemporaryDirectory folder;
    std::filesystem::path image = folder / "sleepimage";
    std::shared_ptr<support::ManualExecutor> executor = std::make_shared<support::ManualExecutor>();
    int modeQuestions = 0;
    std::function<void(std::optional<std::int32_t>)> pendingMode;
    std::shared_ptr<SleepImageActor> module = makeModule(image);
};

TEST_F(SleepImageActorTest, ALargeImageWhileHibernatingIsOfferedButNotPreselected) {
    testing::makeAllocatedFile(image, kTwoGibibytes);
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
    testing::makeAllocatedFile(image, kTwoGibibytes);
    for (const auto mode : {std::optional<std::int32_t>(0), std::optional<std::int32_t>()}) {
        const auto item = onlyItem(mode);
        EXPECT_EQ(item.warnings,
                  (Warnings{CleanableItemWarning::irreversible, CleanableItemWarning::largeFile}));
        EXPECT_TRUE(item.isSafeToDeleteByDefault);
    }
}

TEST_F(SleepImageActorTest, ASparseImageCountsOnlyWhatItOccupiesAndEveryScanGivesANewIdentity) {
    testing::makeSparseFile(image, kTwoGibibytes);
    const auto item = onlyItem(0);
    EXPECT_EQ(item.sizeInBytes, allocatedSize(image));
    EXPECT_LT(item.sizeInBytes, 1'000'000'000);
    EXPECT_EQ(item.warnings, Warnings{CleanableItemWarning::irreversible});
    EXPECT_NE(onlyItem(0).id, item.id);
}

TEST(SleepImageItemTest, LargeLiesExactlyAboveOneBillionBytesAndAnyModeButZeroIsHibernation) {
    FilesystemEntry entry{"/private/var/vm/sleepimage", 1'000'000'000, TimePoint{}, false,
                          "sleepimage"};
    EXPECT_EQ(sleepImageItem(entry, 0)->warnings, Warnings{CleanableItemWarning::irreversible});
    entry.sizeInBytes = 1'000'000'001;
    EXPECT_EQ(sleepImageItem(entry, 0)->warnings,
              (Warnings{CleanableItemWarning::irreversible, CleanableItemWarning::largeFile}));

    entry.sizeInBytes = 1;
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

TEST_F(SleepImageActorTest, NothingAtThePathOrNoPathOffersNothingWithoutAskingTheMode) {
    expectNoItem();
    testing::makeFile(image, 0);
    expectNoItem();
    std::filesystem::remove(image);
    std::filesystem::create_directory(image);
    testing::makeFile(image / "inside", 8192);
    expectNoItem();
    module = makeModule(std::nullopt);
    expectNoItem();
    EXPECT_EQ(modeQuestions, 0);
}

TEST_F(SleepImageActorTest, ALinkAtThePathIsNeverSizedThroughItsTarget) {
    testing::makeAllocatedFile(folder / "target", kTwoGibibytes);
    std::filesystem::create_symlink("target", image);
    const auto own = allocatedSize(image);
    const auto outcome = scan(0);
    ASSERT_TRUE(testing::succeeded(outcome));
    if (own == 0) {
        EXPECT_TRUE(outcome->value().empty());
    } else {
        ASSERT_EQ(outcome->value().size(), 1U);
        EXPECT_EQ(outcome->value()[0].sizeInBytes, own);
    }
}

TEST_F(SleepImageActorTest, ACancelledScanFailsWithCancellation) {
    testing::makeAllocatedFile(image, kBlock);
    support::CancellationSource before;
    before.cancel();
    auto outcome = scan(0, before.token());
    EXPECT_TRUE(testing::cancelled(outcome));
    EXPECT_EQ(modeQuestions, 0);

    support::CancellationSource whileAsking;
    outcome.reset();
    module->scan(whileAsking.token(),
                 [&](const support::Result<CleanableItems>& items) { outcome = items; });
    executor->runAll();
    ASSERT_TRUE(pendingMode);
    whileAsking.cancel();
    pendingMode(0);
    executor->runAll();
    EXPECT_TRUE(testing::cancelled(outcome));
}

}  // namespace
}  // namespace quillo
