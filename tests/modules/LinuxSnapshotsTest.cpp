#include <gtest/gtest.h>

#include "modules/EngineTestSupport.h"
#include "modules/LinuxSnapshotParsing.h"
#include "modules/LinuxSnapshotTools.h"
#include "modules/LocalSnapshotsActor.h"
#include "modules/SnapshotItemPaths.h"
#include "support/FakeTools.h"
#include "support/ScopedTimeZone.h"
#include "support/TemporaryDirectory.h"
#include "support/WaitingExecutor.h"

namespace quillo::testing {
namespace {

// Recorded in the tools' own formats (snapper 0.10, Timeshift 22).
constexpr auto kConfigsOld = "Config | Subvolume\n-------+----------\nroot   | /\nhome   | /home\n";
constexpr auto kConfigsBoxed =
    "Config \u2502 Subvolume\n\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u253c\u2500\u2500\u2500\n"
    "root   \u2502 /\n--evil \u2502 /x\n";
constexpr auto kSnapperRoot = R"({
  "root": [
    {"number": 0, "default": false, "active": false, "date": "", "user": "root",
     "cleanup": "", "description": "current", "userdata": null},
    {"number": 1, "default": true, "active": true, "date": "2026-10-30 09:12:44",
     "user": "root", "cleanup": "", "description": "first root filesystem"},
    {"number": 42, "default": false, "active": false, "type": "pre",
     "date": "2026-11-01 10:00:01", "user": "anna", "cleanup": "number",
     "description": "zypp(zypper)\t\"Kernel\" update", "userdata": {"important": "yes"}},
    {"number": 43, "default": false, "active": false, "date": "kaputt", "user": "root",
     "description": ""},
    {"number": "44", "date": "2026-11-01 10:00:01"}
  ]
})";
constexpr auto kTimeshift =
    "Mounted '/dev/sda2' at '/run/timeshift/12/backup'\n"
    "Device : /dev/sda2\nUUID   : 0b2d\nPath   : /run/timeshift/12/backup\nMode   : RSYNC\n"
    "Status : OK\n3 snapshots, 112.4 GB free\n\n"
    "Num     Name                 Tags  Description\n"
    "------------------------------------------------------------------------------\n"
    "0    >  2026-11-01_10-00-01  O     vor Upgrade\n"
    "1    >  2026-11-02_10-00-01  DW    \t\"Tab\" und 'Quotes'  \n"
    "2    >  2026-13-02_10-00-01  D     unmöglicher Monat\n"
    "3    >  --delete             O     bösartig\n"
    "kaputte Zeile\n"
    "4    >  2026-11-03_10-00-01\n";

TEST(LinuxSnapshotParsingTest, SnapperConfigurationsFromBothTableStyles) {
    EXPECT_EQ(parseSnapperConfigs(kConfigsOld), (std::vector<std::string>{"root", "home"}));
    EXPECT_EQ(parseSnapperConfigs(kConfigsBoxed), std::vector<std::string>{"root"});
    EXPECT_TRUE(parseSnapperConfigs("").empty());
    EXPECT_TRUE(parseSnapperConfigs("Config | Subvolume\n-------+----------\n").empty());
}

TEST(LinuxSnapshotParsingTest, SnapperListOffersOnlyDeletableSnapshots) {
    const ScopedTimeZone zone("UTC");
    const auto snapshots = parseSnapperList("root", kSnapperRoot);
    ASSERT_EQ(snapshots.size(), 2U);
    EXPECT_EQ(snapshots[0].dateToken, "42");
    EXPECT_EQ(snapshots[0].source, SnapshotSource::snapper);
    EXPECT_EQ(snapshots[0].configuration, "root");
    EXPECT_EQ(snapshots[0].label,
              "2026-11-01 10:00:01 – zypp(zypper) \"Kernel\" update (snapper root Nr. 42, anna)");
    EXPECT_EQ(std::chrono::system_clock::to_time_t(snapshots[0].date), 1'793'527'201);
    EXPECT_EQ(snapshots[1].dateToken, "43");
    EXPECT_EQ(snapshots[1].date, kUnreadableSnapshotDate);
    for (const auto* malformed : {"", "[]", "{\"root\": 5}", "{\"home\": []}", "nicht json"}) {
        EXPECT_TRUE(parseSnapperList("root", malformed).empty()) << malformed;
    }
    EXPECT_TRUE(parseSnapperList("-c", R"({"-c": [{"number": 5, "date": ""}]})").empty());
}

TEST(LinuxSnapshotParsingTest, TimeshiftRowsBelowTheDashesWithTagsAndOddDescriptions) {
    const auto snapshots = parseTimeshiftList(kTimeshift);
    ASSERT_EQ(snapshots.size(), 4U);
    EXPECT_EQ(snapshots[0].dateToken, "2026-11-01_10-00-01");
    EXPECT_EQ(snapshots[0].label, "2026-11-01 10:00:01 – vor Upgrade (Timeshift O)");
    EXPECT_EQ(snapshots[1].label, "2026-11-02 10:00:01 – \"Tab\" und 'Quotes' (Timeshift DW)");
    EXPECT_EQ(snapshots[2].date, kUnreadableSnapshotDate);
    EXPECT_EQ(snapshots[3].label, "2026-11-03 10:00:01 (Timeshift)");
    EXPECT_TRUE(parseTimeshiftList("Device : /dev/sda2\nNo snapshots found\n").empty());
    EXPECT_TRUE(parseTimeshiftList("").empty());
}

TEST(SnapshotItemPathsTest, OnlyPlainNamesReadBackAsSnapshots) {
    for (const auto* path :
         {"/.snapshots/snapper/root/42", "/.snapshots/timeshift/2026-11-01_10-00-01"}) {
        const auto snapshot = linuxSnapshotAt(path);
        ASSERT_TRUE(snapshot) << path;
        EXPECT_EQ(snapshotItemPath(*snapshot), path);
    }
    for (const auto* path :
         {"/.snapshots/snapper/-c/42", "/.snapshots/snapper/root/0", "/.snapshots/snapper/root/-1",
          "/.snapshots/snapper//root/42", "/.snapshots/snapper/root/42/x",
          "/.snapshots/timeshift/--delete", "/.snapshots/2025-03-14-092653", "/var/log/x"}) {
        EXPECT_FALSE(linuxSnapshotAt(path)) << path;
    }
}

/// The module over fake snapper and Timeshift tools, run by the real process runner.
struct FakeSnapshotTools : ::testing::Test {
    std::shared_ptr<LocalSnapshotsActor> makeModule() {
        const LinuxSnapshotTools tools{.snapper = snapper.path(),
                                       .timeshift = timeshift.path(),
                                       .mayRunTools = [this] { return mayRun; }};
        return std::make_shared<LocalSnapshotsActor>(
            linuxSnapshotLister(tools), linuxSnapshotDeleter(tools),
            LocalSnapshotsActor::Environment{.context = main});
    }

    CleanableItems scan() {
        std::optional<support::Result<CleanableItems>> found;
        auto module = makeModule();
        module->scan({},
                     [&](support::Result<CleanableItems> result) { found = std::move(result); });
        EXPECT_TRUE(main->runUntil([&] { return found.has_value(); }));
        return found && found->ok() ? found->value() : CleanableItems{};
    }

    TemporaryDirectory folder;
    FakeTool snapper{folder.path(), "snapper"};
    FakeTool timeshift{folder.path(), "timeshift"};
    bool mayRun = true;
    std::shared_ptr<WaitingExecutor> main = std::make_shared<WaitingExecutor>();
};

TEST_F(FakeSnapshotTools, AScanOffersEveryToolsSnapshotsAsIrreversibleItems) {
    snapper.answer({"list-configs"}, kConfigsOld);
    snapper.answer({"--jsonout", "-c", "root", "list"}, kSnapperRoot);
    snapper.answer({"--jsonout", "-c", "home", "list"}, R"({"home": []})");
    timeshift.answer({"--list"}, kTimeshift);

    const auto items = scan();
    ASSERT_EQ(items.size(), 6U);
    EXPECT_EQ(items[0].url, "/.snapshots/snapper/root/42");
    EXPECT_EQ(items[2].url, "/.snapshots/timeshift/2026-11-01_10-00-01");
    EXPECT_EQ(items[2].displayName, "2026-11-01 10:00:01 – vor Upgrade (Timeshift O)");
    for (const auto& item : items) {
        EXPECT_EQ(item.warnings, std::vector{CleanableItemWarning::irreversible});
        EXPECT_FALSE(item.isSafeToDeleteByDefault);
        EXPECT_EQ(item.sizeInBytes, 0);
    }
    EXPECT_EQ(snapper.calls().size(), 3U);
}

TEST_F(FakeSnapshotTools, MissingToolsOrNoRightsListNothing) {
    snapper.answer({"list-configs"}, kConfigsOld);
    mayRun = false;
    EXPECT_TRUE(scan().empty());
    EXPECT_TRUE(snapper.calls().empty());
    mayRun = true;
    std::filesystem::remove(timeshift.path());
    snapper.exitWith(1);
    EXPECT_TRUE(scan().empty());
}

TEST_F(FakeSnapshotTools, DeletingRunsEachToolWithTheSnapshotItListed) {
    snapper.answer({"list-configs"}, kConfigsOld);
    snapper.answer({"--jsonout", "-c", "root", "list"}, kSnapperRoot);
    timeshift.answer({"--list"}, kTimeshift);
    auto items = scan();
    ASSERT_EQ(items.size(), 6U);
    // A caller's item naming an option is refused without running anything.
    auto forged = items[0];
    forged.id = Uuid::random();
    forged.url = "/.snapshots/snapper/root/--all";
    const CleanableItems chosen{items[0], items[2], forged};

    auto module = makeModule();
    auto stream = module->deleteItems(chosen);
    std::optional<DeletionReport> report;
    bool ended = false;
    stream.listen(
        main,
        [&](DeletionEvent event) {
            if (auto* finished = std::get_if<DeletionFinished>(&event)) {
                report = finished->report;
            }
        },
        [&](const std::optional<support::Error>&) { ended = true; });
    ASSERT_TRUE(main->runUntil([&] { return ended; }));

    ASSERT_TRUE(report);
    ASSERT_EQ(report->succeeded.size(), 2U);
    EXPECT_EQ(report->succeeded[0].receiptHash, "snapshot-snapper/root/42");
    EXPECT_EQ(report->succeeded[1].receiptHash, "snapshot-timeshift/2026-11-01_10-00-01");
    ASSERT_EQ(report->failed.size(), 1U);
    EXPECT_EQ(report->failed[0].id, forged.id);
    const auto snapperCalls = snapper.calls();
    EXPECT_EQ(snapperCalls.back(), (std::vector<std::string>{"-c", "root", "delete", "42"}));
    const auto timeshiftCalls = timeshift.calls();
    EXPECT_EQ(
        timeshiftCalls.back(),
        (std::vector<std::string>{"--delete", "--snapshot", "2026-11-01_10-00-01", "--scripted"}));
}

}  // namespace
}  // namespace quillo::testing
