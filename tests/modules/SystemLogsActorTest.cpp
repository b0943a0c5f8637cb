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
using testing::urlsOf;
using Warnings = std::vector<CleanableItemWarning>;

constexpr std::int64_t kDay = 86'400;
constexpr std::int64_t kLongAgo = 30 * kDay;
constexpr std::int64_t kOneWeek = 604'800;
constexpr std::int64_t kLargeLogBytes = 100'000'000;

/// The display names of `items`, for the cases whose walk order does not matter.
std::set<std::string> namesOf(const CleanableItems& items) {
    const auto names = testing::displayNamesOf(items);
    return {names.begin(), names.end()};
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

TEST_F(SystemLogsActorTest, AStandardScanSparesTheLastWeekADeepScanDoesNot) {
    makeLog(varLog / "system.log", 5'000, 3 * kDay);
    makeLog(varLog / "old.log");
    EXPECT_EQ(namesOf(scannedItems(ScanDepth::standard)), std::set<std::string>{"old.log"});

    const auto items = scannedItems(ScanDepth::deep);
    EXPECT_EQ(namesOf(items), (std::set<std::string>{"old.log", "system.log"}));
    const auto* recent = itemNamed(items, "system.log");
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->warnings.empty());
    EXPECT_TRUE(recent->isSafeToDeleteByDefault);
    EXPECT_EQ(recent->lastModified, fixture.now - std::chrono::days(3));

    // The standard cutoff includes a log of exactly one week.
    std::filesystem::remove(varLog / "system.log");
    makeLog(userLogs / "week.log", 5'000, kOneWeek);
    makeLog(userLogs / "a-second-younger.log", 5'000, kOneWeek - 1);
    makeLog(userLogs / "future.log", 5'000, -60);
    EXPECT_EQ(namesOf(scannedItems()), (std::set<std::string>{"old.log", "week.log"}));
    EXPECT_EQ(scannedItems(ScanDepth::deep).size(), 4U);
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

TEST_F(SystemLogsActorTest, ALargePanicLogWarnsOfThePanicFirstAndASparseLogIsNotLarge) {
    ASSERT_NO_FATAL_FAILURE(
        testing::makeAllocatedFile(userLogs / "kernel-panic-above.log", kLargeLogBytes + 1));
    testing::makeSparseFile(userLogs / "sparse.log", 2 * kLargeLogBytes);
    for (const auto* name : {"kernel-panic-above.log", "sparse.log"}) {
        setAge(userLogs / name, kLongAgo);
    }
    const auto items = scannedItems();
    const auto* panicItem = itemNamed(items, "kernel-panic-above.log");
    const auto* sparseItem = itemNamed(items, "sparse.log");
    ASSERT_TRUE(panicItem && sparseItem);
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

}  // namespace
}  // namespace quillo
