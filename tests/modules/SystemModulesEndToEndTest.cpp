#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "deletion/SecureDeletionServiceHarness.h"
#include "modules/CleaningEngine.h"
#include "modules/DiagnosticReportsActor.h"
#include "modules/EngineTestSupport.h"
#include "modules/FontCacheActor.h"
#include "modules/LocalSnapshotsActor.h"
#include "modules/SleepImageActor.h"
#include "modules/SystemCachesActor.h"
#include "modules/SystemLogsActor.h"
#include "modules/TempFilesActor.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using testing::StreamRecording;

constexpr std::int64_t kDay = 86'400;

/// All seven system-data modules in one engine over one fake root, deleting through one real
/// service; every executor is the harness's, driven by the test.
class SystemModulesEndToEndTest : public ::testing::TestWithParam<DeletionMode> {
  protected:
    SystemModulesEndToEndTest() : harness(GetParam()) {
        buildTree();
        const auto service = harness.service().shared_from_this();
        const ModuleEnvironment environment{.context = harness.executor, .pool = harness.executor};
        const DepthProvider depth = [](const std::function<void(ScanDepth)>& answer) {
            answer(ScanDepth::standard);
        };
        engine = std::make_unique<CleaningEngine>(
            std::vector<std::shared_ptr<CleaningModule>>{
                std::make_shared<SystemCachesActor>(
                    std::vector{root / "home/.cache", root / "var/cache"},
                    [](const std::function<void(std::set<std::string>)>& answer) {
                        answer({"org.example.running"});
                    },
                    depth, service, environment),
                std::make_shared<SystemLogsActor>(std::vector{root / "home/logs", root / "var/log"},
                                                  fixedLogRetention(7), depth, service,
                                                  environment),
                std::make_shared<TempFilesActor>(std::vector{root / "tmp"}, depth, service,
                                                 environment),
                std::make_shared<LocalSnapshotsActor>(
                    [](const support::Completion<std::vector<LocalSnapshot>>& done) {
                        done(std::vector{LocalSnapshot{.dateToken = "2025-03-14-092653",
                                                       .apfsUUID = std::nullopt},
                                         LocalSnapshot{.dateToken = "2025-03-15-101010",
                                                       .apfsUUID = std::nullopt}});
                    },
                    [this](const LocalSnapshot& snapshot,
                           const support::Completion<support::Unit>& done) {
                        deletedSnapshots.push_back(snapshot.dateToken);
                        done(support::Unit{});
                    },
                    LocalSnapshotsActor::Environment{.context = harness.executor}),
                std::make_shared<DiagnosticReportsActor>(std::vector{root / "home/reports"},
                                                         std::vector{root / "home/crashes"}, depth,
                                                         service, environment),
                std::make_shared<SleepImageActor>(
                    root / "vm/sleepimage",
                    [](const std::function<void(std::optional<std::int32_t>)>& answer) {
                        answer(0);
                    },
                    service, environment),
                std::make_shared<FontCacheActor>(
                    std::vector{root / "home/fonts/ats", root / "var/fonts/ats"},
                    [this](const support::Completion<support::Unit>& done) {
                        ++fontHookRuns;
                        done(support::Unit{});
                    },
                    service, environment),
            },
            harness.executor);
    }

    void buildTree() {
        using testing::makeFile;
        makeFile(root / "home/.cache/org.example.idle/blob", 30'000);
        makeFile(root / "home/.cache/org.example.running/blob", 20'000);
        makeFile(root / "var/cache/shared/index", 9'000);
        makeFile(root / "home/logs/app/old.log", 4'000);
        makeFile(root / "home/logs/fresh.log", 4'000);
        makeFile(root / "var/log/kernel-panic.log", 4'000);
        makeFile(root / "tmp/leftover.bin", 12'000);
        makeFile(root / "tmp/work/part", 7'000);
        makeFile(root / "home/reports/Editor_2025-03-14_host.crash", 2'000);
        makeFile(root / "vm/sleepimage", 70'000);
        makeFile(root / "home/fonts/ats/db", 5'000);
        for (const auto* old : {"home/logs/app/old.log", "var/log/kernel-panic.log"}) {
            testing::setAgeByTheClock(root / old, 30 * kDay);
        }
        testing::setAgeByTheClock(root / "home/logs/fresh.log", kDay);
    }

    ScanResults scan() {
        std::optional<support::Result<ScanResults>> outcome;
        engine->scan(std::nullopt, {},
                     [&](support::Result<ScanResults> results) { outcome = std::move(results); });
        harness.drain();
        EXPECT_TRUE(outcome && outcome->ok());
        return outcome && outcome->ok() ? outcome->value() : ScanResults{};
    }

    StreamRecording deleteAll(const CleanableItems& items) {
        StreamRecording recording;
        auto stream = engine->deleteItems(items);
        testing::record(stream, harness.executor, recording);
        harness.drain();
        return recording;
    }

    testing::TemporaryDirectory folder;
    fs::path root = folder.path();
    testing::SecureDeletionServiceHarness harness;
    std::unique_ptr<CleaningEngine> engine;
    std::vector<std::string> deletedSnapshots;
    int fontHookRuns = 0;
};

/// The bytes of every regular file at or below the items' paths: what an overwrite pass writes.
std::uintmax_t fileBytesOf(const CleanableItems& items) {
    std::uintmax_t total = 0;
    for (const auto& item : items) {
        if (fs::is_regular_file(fs::symlink_status(item.url))) {
            total += fs::file_size(item.url);
        } else if (fs::is_directory(fs::symlink_status(item.url))) {
            for (const auto& entry : fs::recursive_directory_iterator(item.url)) {
                if (entry.is_regular_file()) {
                    total += entry.file_size();
                }
            }
        }
    }
    return total;
}

std::set<std::string> namesOf(const CleanableItems& items) {
    std::set<std::string> names;
    for (const auto& item : items) {
        names.insert(item.displayName);
    }
    return names;
}

TEST_P(SystemModulesEndToEndTest, ScansEveryModuleAndDeletesAMixedSelectionAsReported) {
    const auto results = scan();
    ASSERT_EQ(results.size(), 7U);
    EXPECT_EQ(namesOf(results.at(CleaningModuleID::systemCaches)),
              (std::set<std::string>{"org.example.idle", "shared"}));
    EXPECT_EQ(namesOf(results.at(CleaningModuleID::systemLogs)),
              (std::set<std::string>{"old.log", "kernel-panic.log"}));
    EXPECT_EQ(namesOf(results.at(CleaningModuleID::tempFiles)),
              (std::set<std::string>{"leftover.bin", "work"}));
    EXPECT_EQ(results.at(CleaningModuleID::localSnapshots).size(), 2U);
    EXPECT_EQ(namesOf(results.at(CleaningModuleID::diagnosticReports)),
              (std::set<std::string>{"Editor"}));
    EXPECT_EQ(namesOf(results.at(CleaningModuleID::sleepImage)),
              (std::set<std::string>{"sleepimage"}));
    EXPECT_EQ(namesOf(results.at(CleaningModuleID::fontCache)), (std::set<std::string>{"ats"}));

    // Everything preselected, the snapshots on top; the kernel panic log stays behind.
    CleanableItems selected;
    CleanableItems kept;
    for (const auto& [id, items] : results) {
        for (const auto& item : items) {
            const bool choose =
                item.isSafeToDeleteByDefault || id == CleaningModuleID::localSnapshots;
            (choose ? selected : kept).push_back(item);
        }
    }
    ASSERT_EQ(kept.size(), 1U);
    const auto bytesToOverwrite = fileBytesOf(selected);
    const auto recording = deleteAll(selected);
    ASSERT_TRUE(recording.endedNormally());

    std::map<Uuid, CleanableItem> byID;
    for (const auto& item : selected) {
        byID.emplace(item.id, item);
    }
    std::size_t fileRecords = 0;
    for (const auto& [id, items] : results) {
        const auto events = recording.eventsOf(id);
        ASSERT_GE(events.size(), 2U) << rawValue(id);
        ASSERT_TRUE(std::holds_alternative<DeletionStarted>(events.front()));
        ASSERT_TRUE(std::holds_alternative<DeletionFinished>(events.back()));
        const auto& report = std::get<DeletionFinished>(events.back()).report;
        EXPECT_TRUE(report.failed.empty()) << rawValue(id) << ": " << report.failed.front().reason;
        const bool perItemEvents =
            id != CleaningModuleID::localSnapshots && id != CleaningModuleID::fontCache;
        const auto chosen = std::ranges::count_if(
            items, [&](const CleanableItem& item) { return byID.contains(item.id); });
        EXPECT_EQ(events.size(), perItemEvents ? 2 + 2 * static_cast<std::size_t>(chosen) : 2U)
            << rawValue(id);
        ASSERT_EQ(report.succeeded.size(), static_cast<std::size_t>(chosen)) << rawValue(id);
        for (const auto& record : report.succeeded) {
            const auto& item = byID.at(record.id);
            EXPECT_EQ(record.sizeInBytes, item.sizeInBytes);
            if (id != CleaningModuleID::localSnapshots) {
                EXPECT_FALSE(fs::exists(fs::symlink_status(item.url))) << item.url;
                ++fileRecords;
            }
        }
    }
    for (const auto& item : kept) {
        EXPECT_TRUE(fs::exists(item.url)) << item.url;
    }
    EXPECT_TRUE(fs::exists(root / "home/.cache/org.example.running/blob"));
    EXPECT_TRUE(fs::exists(root / "home/logs/fresh.log"));

    // One receipt per removed file or folder, matching its record; none for the snapshots.
    const auto receipts = harness.storedReceipts();
    ASSERT_EQ(receipts.size(), fileRecords);
    std::set<std::string> recordedHashes;
    for (const auto& event : recording.events) {
        if (const auto* finished = std::get_if<DeletionFinished>(&event)) {
            for (const auto& record : finished->report.succeeded) {
                recordedHashes.insert(record.receiptHash);
            }
        }
    }
    for (const auto& receipt : receipts) {
        EXPECT_TRUE(recordedHashes.contains(receipt.hash));
        EXPECT_NE(receipt.moduleID, CleaningModuleID::localSnapshots);
    }
    EXPECT_EQ(deletedSnapshots,
              (std::vector<std::string>{"2025-03-14-092653", "2025-03-15-101010"}));
    EXPECT_EQ(fontHookRuns, 1);
    const auto overwritten = std::accumulate(harness.filledChunks.begin(),
                                             harness.filledChunks.end(), std::uintmax_t{0});
    EXPECT_EQ(overwritten, GetParam() == DeletionMode::standard ? 0 : bytesToOverwrite);
    EXPECT_EQ(harness.modeRequests, 6) << "one mode question per file-module run";
}

INSTANTIATE_TEST_SUITE_P(Modes, SystemModulesEndToEndTest,
                         ::testing::Values(DeletionMode::standard, DeletionMode::secureOverwrite),
                         [](const auto& info) { return std::string(rawValue(info.param)); });

}  // namespace
}  // namespace quillo
