#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "deletion/ReceiptHash.h"
#include "deletion/SecureDeletionServiceHarness.h"
#include "model/DeletionError.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

// The three modes and what they do to real files in a temporary folder.
namespace quillo {
namespace {

using platform::kOverwriteChunkSize;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::itemAt;
using testing::makeFile;
using testing::SecureDeletionServiceHarness;
using ::testing::UnorderedElementsAre;
namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// Notes what a file held, and its size, at the moment of its removal.
struct RemovalWitness {
    void watch(DeletionFileOperations& files) {
        files.remove = [this](const platform::OpenedItem& item) {
            const fs::path& path = item.path();
            sizes.push_back(fs::is_regular_file(path) ? fs::file_size(path) : 0);
            lastContents = contents(path);
            return item.remove();
        };
    }
    std::vector<std::uintmax_t> sizes;
    std::string lastContents;
};

class SecureDeletionServiceModesTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory temp;
};

TEST_F(SecureDeletionServiceModesTest, StandardModeRemovesWithoutOverwritingAndGivesAReceipt) {
    SecureDeletionServiceHarness harness(DeletionMode::standard);
    const fs::path file = temp / "cache.db";
    testing::writeTextFile(file, "secret");
    RemovalWitness witness;
    witness.watch(harness.environment.files);
    const CleanableItem item = itemAt(file, 6);

    const auto outcome = harness.run({item});

    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(witness.lastContents, "secret");
    EXPECT_THAT(harness.filledChunks, IsEmpty());
    const auto receipts = harness.storedReceipts();
    ASSERT_EQ(receipts.size(), 1u);
    // Readings: the run's start, the item's deletion time, the report's end.
    const TimePoint deletedAt =
        std::chrono::time_point_cast<std::chrono::microseconds>(harness.clockReading(1));
    EXPECT_EQ(receipts[0].deletedAt, deletedAt);
    EXPECT_EQ(receipts[0].hash, receiptHash(item.id, file, 6, deletedAt));
    EXPECT_NE(receipts[0].id, item.id);
    EXPECT_EQ(receipts[0].sizeInBytes, 6);
    EXPECT_EQ(receipts[0].moduleID, CleaningModuleID::tempFiles);
    const auto report = outcome.report();
    ASSERT_TRUE(report);
    EXPECT_THAT(report->succeeded, ElementsAre(DeletedFileRecord{item.id, 6, receipts[0].hash}));
    EXPECT_THAT(report->failed, IsEmpty());
}

TEST_F(SecureDeletionServiceModesTest, EachSecureModeMakesItsPassesOfWholeChunks) {
    const std::size_t size = kOverwriteChunkSize + 1;
    for (const auto& [mode, passes] : {std::pair{DeletionMode::secureOverwrite, 1},
                                       std::pair{DeletionMode::secureOverwriteThreePass, 3}}) {
        SCOPED_TRACE(passes);
        SecureDeletionServiceHarness harness(mode);
        const fs::path file = temp / ("file-" + std::to_string(passes));
        makeFile(file, size);
        const std::string original = contents(file);
        std::vector<std::uintmax_t> sizesBeforePasses;
        harness.environment.files.overwrite = [&](const platform::OpenedItem& opened,
                                                  const platform::RandomFill& fill) {
            sizesBeforePasses.push_back(fs::file_size(opened.path()));
            return opened.overwriteOnce(fill);
        };
        RemovalWitness witness;
        witness.watch(harness.environment.files);

        const auto outcome = harness.run({itemAt(file, static_cast<std::int64_t>(size))});

        ASSERT_TRUE(outcome.report());
        EXPECT_EQ(outcome.report()->succeeded.size(), 1u);
        std::vector<std::size_t> expectedChunks;
        for (int pass = 0; pass < passes; ++pass) {
            expectedChunks.insert(expectedChunks.end(), {kOverwriteChunkSize, 1});
        }
        EXPECT_EQ(harness.filledChunks, expectedChunks);
        EXPECT_EQ(sizesBeforePasses, std::vector<std::uintmax_t>(passes, size));
        EXPECT_THAT(witness.sizes, ElementsAre(size));
        EXPECT_NE(witness.lastContents, original);
        EXPECT_FALSE(fs::exists(file));
    }
}

TEST_F(SecureDeletionServiceModesTest, AnEmptyFileIsRemovedWithoutWriting) {
    SecureDeletionServiceHarness harness(DeletionMode::secureOverwrite);
    const fs::path file = temp / "empty";
    makeFile(file, 0);

    const auto outcome = harness.run({itemAt(file)});

    EXPECT_THAT(harness.filledChunks, IsEmpty());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(harness.storedReceipts().size(), 1u);
}

TEST_F(SecureDeletionServiceModesTest, AFolderItemOverwritesItsVisibleFilesAndIsRemovedWhole) {
    SecureDeletionServiceHarness harness(DeletionMode::secureOverwrite);
    const fs::path folder = temp / "Caches";
    makeFile(folder / "a.bin", 10);
    makeFile(folder / "sub" / "b.bin", 20);
    makeFile(folder / ".hidden", 30);
    // A file with a second name is never written, and the folder goes all the same.
    makeFile(folder / "shared.bin", 40);
    testing::makeHardLinks(folder / "shared.bin", {temp / "elsewhere"});

    const auto outcome = harness.run({itemAt(folder, 100)});

    EXPECT_THAT(harness.filledChunks, UnorderedElementsAre(10, 20));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(contents(temp / "elsewhere"), std::string(40, 'q'));
    ASSERT_TRUE(outcome.report());
    EXPECT_EQ(outcome.report()->succeeded.size(), 1u);
}

TEST_F(SecureDeletionServiceModesTest, LinksFifosAndSharedHardLinksAreRemovedButNeverWritten) {
    SecureDeletionServiceHarness harness(DeletionMode::secureOverwriteThreePass);
    const fs::path outside = temp / "outside";
    testing::writeTextFile(outside / "target", "keep me");
    const fs::path link = temp / "items" / "link";
    const fs::path fifo = temp / "items" / "fifo";
    const fs::path hardLink = temp / "items" / "hard";
    fs::create_directories(link.parent_path());
    testing::makeSymlink(outside / "target", link);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    testing::makeHardLinks(outside / "target", {hardLink});

    const auto outcome = harness.run({itemAt(link), itemAt(fifo), itemAt(hardLink, 7)});

    ASSERT_TRUE(outcome.report());
    EXPECT_EQ(outcome.report()->succeeded.size(), 3u);
    EXPECT_THAT(harness.filledChunks, IsEmpty());
    EXPECT_EQ(contents(outside / "target"), "keep me");
    for (const auto& path : {link, fifo, hardLink}) {
        EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << path;
    }
}

TEST_F(SecureDeletionServiceModesTest, AFileThatCannotBeOverwrittenFailsAndStays) {
    struct Case {
        const char* name;
        bool randomSourceFails;
        std::string reason;
    };
    for (const Case& failing : {
             Case{"unwritable", false, "Überschreiben fehlgeschlagen: Permission denied"},
             Case{"no-randomness", true, "Sichere Zufallsdaten konnten nicht erzeugt werden."},
         }) {
        SCOPED_TRACE(failing.name);
        SecureDeletionServiceHarness harness(DeletionMode::secureOverwriteThreePass);
        const fs::path file = temp / failing.name;
        makeFile(file, 100);
        int passes = 0;
        harness.randomSourceFails = failing.randomSourceFails;
        harness.environment.files.overwrite =
            [&](const platform::OpenedItem& opened,
                const platform::RandomFill& fill) -> support::Result<platform::OverwriteOutcome> {
            ++passes;
            if (!failing.randomSourceFails) {
                return DeletionError::overwriteFailed("Permission denied");
            }
            return opened.overwriteOnce(fill);
        };
        const CleanableItem item = itemAt(file, 100);

        const auto outcome = harness.run({item});

        EXPECT_EQ(passes, 1);
        EXPECT_TRUE(fs::exists(file));
        ASSERT_TRUE(outcome.report());
        EXPECT_THAT(outcome.report()->failed,
                    ElementsAre(FailedFileRecord{item.id, failing.reason}));
        EXPECT_THAT(harness.storedReceipts(), IsEmpty());
    }
}

TEST_F(SecureDeletionServiceModesTest, AMissingItemFailsWithTheRemovalErrorAndTheRunGoesOn) {
    SecureDeletionServiceHarness harness(DeletionMode::secureOverwrite);
    const fs::path present = temp / "present";
    makeFile(present, 3);
    const CleanableItem missing = itemAt(temp / "gone", 5);

    const auto outcome = harness.run({missing, itemAt(present, 3)});

    ASSERT_TRUE(outcome.report());
    EXPECT_THAT(outcome.report()->failed,
                ElementsAre(FailedFileRecord{missing.id, "No such file or directory"}));
    EXPECT_EQ(outcome.report()->succeeded.size(), 1u);
    EXPECT_FALSE(fs::exists(present));
}

TEST_F(SecureDeletionServiceModesTest, SomethingLeftAtThePathFailsTheVerification) {
    SecureDeletionServiceHarness harness;
    const fs::path file = temp / "stubborn";
    makeFile(file, 1);
    harness.environment.files.isGone = [](const platform::OpenedItem&) { return false; };
    const CleanableItem item = itemAt(file, 1);

    const auto outcome = harness.run({item});

    ASSERT_TRUE(outcome.report());
    EXPECT_THAT(
        outcome.report()->failed,
        ElementsAre(FailedFileRecord{item.id, "Datei existiert nach dem Löschvorgang weiterhin."}));
    EXPECT_THAT(harness.storedReceipts(), IsEmpty());
}

TEST_F(SecureDeletionServiceModesTest, DangerousPathsAreRefusedWithoutTouchingAnything) {
    SecureDeletionServiceHarness harness(DeletionMode::secureOverwrite);
    harness.environment.homeFolder = temp / "home";
    fs::create_directories(temp / "home");
    int touched = 0;
    harness.environment.files.overwrite = [&](const platform::OpenedItem&,
                                              const platform::RandomFill&) {
        ++touched;
        return support::Result<platform::OverwriteOutcome>(platform::OverwriteOutcome::missing);
    };
    harness.environment.files.remove = [&](const platform::OpenedItem&) {
        ++touched;
        return support::Status(support::Unit{});
    };
    std::vector<CleanableItem> items;
    for (const fs::path& path :
         {fs::path(), fs::path("relative/file"), temp / "home" / ".." / "x", fs::path("/"),
          temp / "home", fs::path("/usr"), fs::path("/etc/"), fs::path("/Library")}) {
        items.push_back(itemAt(path));
    }

    const auto outcome = harness.run(items);

    EXPECT_EQ(touched, 0);
    const auto report = outcome.report();
    ASSERT_TRUE(report);
    ASSERT_EQ(report->failed.size(), items.size());
    for (const auto& record : report->failed) {
        EXPECT_THAT(record.reason, ::testing::StartsWith("Löschen verweigert")) << record.reason;
    }
}

}  // namespace
}  // namespace quillo
