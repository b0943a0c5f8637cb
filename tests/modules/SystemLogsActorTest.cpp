#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "modules/FileModuleTestSupport.h"
#include "modules/FilesystemEnumeration.h"
#include "modules/SystemLogsActor.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using testing::allocatedSize;
using testing::itemNamed;
using testing::setAge;
using Warnings = std::vector<CleanableItemWarning>;

constexpr std::int64_t kLongAgo = 30 * 86'400;
constexpr std::int64_t kOneWeek = 604'800;
constexpr std::int64_t kLargeLogBytes = 100'000'000;
constexpr std::int64_t kBlock = 4096;

/// The display names of `items`, for the cases whose walk order does not matter.
std::set<std::string> namesOf(const CleanableItems& items) {
    const auto names = testing::displayNamesOf(items);
    return {names.begin(), names.end()};
}

std::vector<std::filesystem::path> urlsOf(const CleanableItems& items) {
    std::vector<std::filesystem::path> urls;
    for (const auto& item : items) {
        urls.push_back(item.url);
    }
    return urls;
}

/// A log of `bytes` last modified `age` seconds ago, parent folders made as needed.
void makeLog(const std::filesystem::path& path, std::size_t bytes = 5'000,
             std::int64_t age = kLongAgo) {
    testing::makeFile(path, bytes);
    setAge(path, age);
}

class SystemLogsActorTest : public ::testing::Test {
  protected:
    std::shared_ptr<SystemLogsActor> makeModule(
        std::shared_ptr<SecureDeletionService> service = nullptr) {
        return std::make_shared<SystemLogsActor>(std::vector{userLogs, libraryLogs, varLog},
                                                 fixedLogRetention(7), fixture.depthProvider(),
                                                 std::move(service), fixture.environment());
    }

    CleanableItems scannedItems(ScanDepth depth = ScanDepth::standard) {
        fixture.depth = depth;
        return fixture.scannedItems(*module);
    }

    testing::TemporaryDirectory folder;
    testing::FileModuleFixture fixture;
    std::filesystem::path userLogs = folder / "home/Library/Logs";
    std::filesystem::path libraryLogs = folder / "Library/Logs";
    std::filesystem::path varLog = folder / "private/var/log";
    std::shared_ptr<SystemLogsActor> module = makeModule();
};

TEST_F(SystemLogsActorTest, DescribesItself) {
    EXPECT_EQ(module->id(), CleaningModuleID::systemLogs);
    EXPECT_EQ(module->displayName(), LocalizableText::ownKey("System-Logs"));
    EXPECT_EQ(module->explanation(),
              LocalizableText::ownKey("Protokolldateien des Systems und einzelner Apps. Aktuelle "
                                      "Logs werden geschont."));
    EXPECT_EQ(module->symbolName(), "doc.text.magnifyingglass");
    EXPECT_DOUBLE_EQ(module->estimatedScanDuration(), 1.5);
    EXPECT_FALSE(module->isDestructive());
    EXPECT_FALSE(module->isAvailableInSandbox());
    EXPECT_TRUE(module->requiresFullDiskAccess());
    EXPECT_EQ(module->roots(), (std::vector{userLogs, libraryLogs, varLog}));
}

TEST_F(SystemLogsActorTest, AStandardScanSparesTheLastWeekADeepScanDoesNot) {
    makeLog(varLog / "system.log", 5'000, 3 * 86'400);
    makeLog(varLog / "old.log");
    EXPECT_EQ(namesOf(scannedItems(ScanDepth::standard)), std::set<std::string>{"old.log"});

    const auto items = scannedItems(ScanDepth::deep);
    EXPECT_EQ(namesOf(items), (std::set<std::string>{"old.log", "system.log"}));
    const auto* recent = itemNamed(items, "system.log");
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->warnings.empty());
    EXPECT_TRUE(recent->isSafeToDeleteByDefault);
    EXPECT_EQ(recent->lastModified, fixture.now - std::chrono::days(3));
}

TEST_F(SystemLogsActorTest, TheStandardCutoffIncludesALogOfExactlyOneWeek) {
    makeLog(userLogs / "week.log", 5'000, kOneWeek);
    makeLog(userLogs / "a-second-younger.log", 5'000, kOneWeek - 1);
    makeLog(userLogs / "future.log", 5'000, -60);
    EXPECT_EQ(namesOf(scannedItems()), std::set<std::string>{"week.log"});
    EXPECT_EQ(scannedItems(ScanDepth::deep).size(), 3U);
}

TEST_F(SystemLogsActorTest, KernelPanicLogsAreOfferedButNotPreselected) {
    makeLog(libraryLogs / "DiagnosticReports/kernel-panic-2024.log");
    makeLog(libraryLogs / "DiagnosticReports/Kernel-PANIC.gz");
    makeLog(libraryLogs / "DiagnosticReports/Panic.ips");
    const auto items = scannedItems();
    EXPECT_EQ(namesOf(items), (std::set<std::string>{"Kernel-PANIC.gz", "kernel-panic-2024.log"}));
    for (const auto& item : items) {
        EXPECT_EQ(item.warnings, Warnings{CleanableItemWarning::kernelPanic}) << item.displayName;
        EXPECT_FALSE(item.isSafeToDeleteByDefault) << item.displayName;
    }
}

TEST_F(SystemLogsActorTest, OnlyFilesNamedLikeLogsAreOffered) {
    for (const auto* name :
         {"trace.tracev3", "old.log.gz", "messages.asl", "UPPER.LOG", "Mixed.TraceV3", "notes.txt",
          "system.log.0", "catalog", "log", "install.logs", "folder.log/inside.log"}) {
        makeLog(userLogs / name);
    }
    setAge(userLogs / "folder.log", kLongAgo);
    EXPECT_EQ(namesOf(scannedItems()),
              (std::set<std::string>{"trace.tracev3", "old.log.gz", "messages.asl", "UPPER.LOG",
                                     "Mixed.TraceV3", "inside.log", "system.log.0"}));
}

TEST(LooksLikeLogTest, ReadsExtensionAndNameEndingInAnyLetterCase) {
    for (const auto* name :
         {"a.log", "a.LOG", "a.Gz", "a.tar.gz", "b.ASL", "x.tracev3", "x.TRACEV3",
          "/var/log/wifi.log", "a.log.1", "syslog.12", "kern.log.OLD", "dpkg.log.2.gz"}) {
        EXPECT_TRUE(looksLikeLog(name)) << name;
    }
    for (const auto* name : {"a.txt", "a.log.", "a.1x", "system.journal", "alog", "a.logs",
                             "a.tracev3.bak", "tracev3", "a.gzip", "a.ips", ""}) {
        EXPECT_FALSE(looksLikeLog(name)) << name;
    }
}

TEST_F(SystemLogsActorTest, LogsWithoutBytesAndHiddenLogsAreNeverOffered) {
    makeLog(userLogs / "empty.log", 0);
    // Long but with no blocks on disk: the allocated size counts.
    makeLog(userLogs / "hole.log", 0);
    std::filesystem::resize_file(userLogs / "hole.log", 1'000'000);
    ASSERT_EQ(allocatedSize(userLogs / "hole.log"), 0) << "the file system keeps no holes";
    makeLog(userLogs / ".hidden.log");
    makeLog(userLogs / ".cache/inner.log");
    makeLog(userLogs / "App/.old/deeper/inner.log");
    makeLog(userLogs / "kept.log");
    EXPECT_EQ(namesOf(scannedItems(ScanDepth::deep)), std::set<std::string>{"kept.log"});
}

TEST_F(SystemLogsActorTest, TheLargeFileWarningCountsAllocatedBytesAboveOneHundredMillion) {
    // Allocated sizes come in 512-byte units and 100,000,000 is not one of them: the sizes
    // below and above it come within a few blocks.
    const auto below = testing::makeFileAllocatingAtMost(userLogs / "below.log", kLargeLogBytes);
    ASSERT_NO_FATAL_FAILURE(testing::makeAllocatedFile(userLogs / "above.log", kLargeLogBytes + 1));
    ASSERT_NO_FATAL_FAILURE(
        testing::makeAllocatedFile(userLogs / "kernel-panic-above.log", kLargeLogBytes + 1));
    testing::makeSparseFile(userLogs / "sparse.log", 2 * kLargeLogBytes);
    for (const auto* name : {"below.log", "above.log", "kernel-panic-above.log", "sparse.log"}) {
        setAge(userLogs / name, kLongAgo);
    }
    const auto above = allocatedSize(userLogs / "above.log");
    ASSERT_GT(below, kLargeLogBytes - 4 * kBlock);
    ASSERT_GT(above, kLargeLogBytes);
    ASSERT_LE(above, kLargeLogBytes + 4 * kBlock);

    const auto items = scannedItems();
    ASSERT_EQ(items.size(), 4U);
    const auto* belowItem = itemNamed(items, "below.log");
    const auto* aboveItem = itemNamed(items, "above.log");
    const auto* panicItem = itemNamed(items, "kernel-panic-above.log");
    const auto* sparseItem = itemNamed(items, "sparse.log");
    ASSERT_TRUE(belowItem && aboveItem && panicItem && sparseItem);
    EXPECT_EQ(belowItem->sizeInBytes, below);
    EXPECT_TRUE(belowItem->warnings.empty());
    EXPECT_EQ(aboveItem->sizeInBytes, above);
    EXPECT_EQ(aboveItem->warnings, Warnings{CleanableItemWarning::largeFile});
    EXPECT_TRUE(aboveItem->isSafeToDeleteByDefault);
    EXPECT_EQ(panicItem->warnings,
              (Warnings{CleanableItemWarning::kernelPanic, CleanableItemWarning::largeFile}));
    EXPECT_EQ(sparseItem->sizeInBytes, allocatedSize(userLogs / "sparse.log"));
    EXPECT_TRUE(sparseItem->warnings.empty());
}

TEST_F(SystemLogsActorTest, OffersLogsAtAnyDepthRootsInOrderEachInWalkOrder) {
    const std::vector<std::filesystem::path> logs{
        userLogs / "a.log",           userLogs / "App/x.log",  userLogs / "App/Deep/er/y.log",
        userLogs / "Other/z.log",     libraryLogs / "b.log",   varLog / "c.log",
        varLog / "asl/2024.11.3.asl", varLog / "com.sys/d.gz",
    };
    for (const auto& log : logs) {
        makeLog(log);
    }
    makeLog(userLogs / "App/readme.txt");
    std::vector<std::filesystem::path> expected;
    for (const auto& root : module->roots()) {
        for (const auto& url : recursiveContents(root)) {
            if (std::ranges::find(logs, url) != logs.end()) {
                expected.push_back(url);
            }
        }
    }
    ASSERT_EQ(expected.size(), logs.size());

    const auto items = scannedItems();
    EXPECT_EQ(urlsOf(items), expected);
    for (const auto& item : items) {
        EXPECT_EQ(item.displayName, item.url.filename().string());
        EXPECT_EQ(item.sizeInBytes, allocatedSize(item.url));
        EXPECT_EQ(item.lastModified, fixture.now - std::chrono::seconds(kLongAgo));
        EXPECT_EQ(item.moduleID, CleaningModuleID::systemLogs);
        EXPECT_TRUE(item.warnings.empty());
        EXPECT_TRUE(item.isSafeToDeleteByDefault);
    }
}

TEST_F(SystemLogsActorTest, MissingRootsAndLinkedFoldersGiveNothing) {
    makeLog(folder / "elsewhere/outside.log");
    testing::makeSymlink(folder / "elsewhere", libraryLogs / "linked");
    makeLog(varLog / "inside.log");
    EXPECT_EQ(namesOf(scannedItems(ScanDepth::deep)), std::set<std::string>{"inside.log"});
    EXPECT_EQ(fixture.depthQuestions, 1);
}

TEST_F(SystemLogsActorTest, ACancelledScanFailsWithCancellation) {
    makeLog(userLogs / "a.log");
    fixture.expectScanCancelledBeforeAndWhileAskingDepth(*module);
}

TEST_F(SystemLogsActorTest, DeletesItsItemsThroughTheServiceAndLeavesTheFolders) {
    testing::SecureDeletionServiceHarness harness;
    module = makeModule(harness.service().shared_from_this());
    makeLog(userLogs / "App/app.log");
    makeLog(varLog / "install.log.gz");
    makeLog(varLog / "notes.txt");
    const auto items = scannedItems();
    ASSERT_EQ(items.size(), 2U);

    const auto recording = testing::deleteThroughModule(*module, items, harness);
    testing::expectEveryItemRemoved(recording, CleaningModuleID::systemLogs, items, harness);
    EXPECT_TRUE(std::filesystem::is_directory(userLogs / "App"));
    EXPECT_TRUE(std::filesystem::exists(varLog / "notes.txt"));
    EXPECT_TRUE(scannedItems().empty());
}

}  // namespace
}  // namespace quillo
