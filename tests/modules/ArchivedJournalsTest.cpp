#include <gtest/gtest.h>

#include "modules/ArchivedJournals.h"
#include "modules/FileModuleTestSupport.h"
#include "modules/LogsDeletion.h"
#include "modules/SystemLogsActor.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::testing {
namespace {

constexpr std::int64_t kDay = 86'400;

TEST(ArchivedJournalsTest, OnlyClosedJournalFilesAreArchived) {
    for (const auto* name : {"system@00062a-0000000000000001-00062a.journal",
                             "user-1000@abc-0000000000000002-00062b.journal", "system.journal~",
                             "user-1000@00062a.journal~"}) {
        EXPECT_TRUE(isArchivedJournalName(name)) << name;
    }
    for (const auto* name :
         {"system.journal", "user-1000.journal", ".journal~", "a@b.journalx", "system@.txt"}) {
        EXPECT_FALSE(isArchivedJournalName(name)) << name;
    }
}

struct JournalFolders : ::testing::Test {
    void makeJournal(const std::filesystem::path& path, std::int64_t age) const {
        makeFile(path, 8192);
        setAge(path, age);
    }

    std::shared_ptr<SystemLogsActor> makeModule(int retentionDays) {
        return std::make_shared<SystemLogsActor>(
            std::vector{varLog}, fixedLogRetention(retentionDays), fixture.depthProvider(), nullptr,
            fixture.environment(),
            JournalService{.folders = {persistent, volatileJournal},
                           .vacuum = [](int, support::Completion<support::Unit>) {}});
    }

    TemporaryDirectory folder;
    FileModuleFixture fixture;
    std::filesystem::path varLog = folder / "var/log";
    std::filesystem::path persistent = varLog / "journal";
    std::filesystem::path volatileJournal = folder / "run/log/journal";
};

TEST_F(JournalFolders, ArchivedFilesBeyondTheRetentionAreOneItemAndActiveOnesNeverCount) {
    makeJournal(persistent / "m1/system.journal", 30 * kDay);
    makeJournal(persistent / "m1/user-1000.journal", 30 * kDay);
    makeJournal(persistent / "m1/system@0001-0002-0003.journal", 30 * kDay);
    makeJournal(volatileJournal / "m1/user-1000@0001-0002-0003.journal", 20 * kDay);
    makeJournal(volatileJournal / "m1/system.journal~", 10 * kDay);
    // Within the retention: the vacuum keeps it, so it is not counted.
    makeJournal(persistent / "m1/system@0004-0005-0006.journal", 2 * kDay);
    makeFile(varLog / "syslog.1", 4096);
    setAge(varLog / "syslog.1", 30 * kDay);

    for (const auto depth : {ScanDepth::standard, ScanDepth::deep}) {
        fixture.depth = depth;
        auto module = makeModule(7);
        const auto items = fixture.scannedItems(*module);
        ASSERT_EQ(displayNamesOf(items),
                  (std::vector<std::string>{"syslog.1", std::string(kArchivedJournalsName)}));
        const auto& journals = items[1];
        EXPECT_EQ(journals.url, persistent);
        EXPECT_EQ(journals.sizeInBytes,
                  allocatedSize(persistent / "m1/system@0001-0002-0003.journal") +
                      allocatedSize(volatileJournal / "m1/system.journal~") +
                      allocatedSize(volatileJournal / "m1/user-1000@0001-0002-0003.journal"));
        EXPECT_EQ(journals.moduleID, CleaningModuleID::systemLogs);
    }
}

TEST_F(JournalFolders, TheRetentionDecidesTheStandardCutoffAndZeroMeansEveryLog) {
    makeFile(varLog / "kern.log", 4096);
    setAge(varLog / "kern.log", 3 * kDay);
    makeFile(varLog / "fresh.log", 4096);
    setAge(varLog / "fresh.log", 0);
    const std::vector<std::pair<int, std::vector<std::string>>> cases{
        {7, {}}, {2, {"kern.log"}}, {0, {"kern.log", "fresh.log"}}};
    for (const auto& [days, expected] : cases) {
        auto module = makeModule(days);
        auto names = displayNamesOf(fixture.scannedItems(*module));
        std::ranges::sort(names);
        auto sortedExpected = expected;
        std::ranges::sort(sortedExpected);
        EXPECT_EQ(names, sortedExpected) << days;
    }
}

TEST(JournalVacuumTest, TheCommandLineComesFromTheBoundedRetention) {
    const std::vector<std::pair<int, std::string>> cases{
        {7, "--vacuum-time=7d"},      {1, "--vacuum-time=1d"}, {365, "--vacuum-time=365d"},
        {1000, "--vacuum-time=365d"}, {0, "--vacuum-time=1s"}, {-4, "--vacuum-time=1s"}};
    for (const auto& [days, argument] : cases) {
        EXPECT_EQ(journalVacuumArguments(days), std::vector<std::string>{argument}) << days;
    }
}

CleanableItem itemAt(const std::filesystem::path& url, std::int64_t size) {
    return CleanableItem{.id = Uuid::random(),
                         .url = url,
                         .displayName = url.filename().string(),
                         .sizeInBytes = size,
                         .lastModified = {},
                         .moduleID = CleaningModuleID::systemLogs,
                         .warnings = {},
                         .isSafeToDeleteByDefault = true};
}

TEST(LogsDeletionTest, VacuumsWithTheRetentionAskedThenMergesTheFilesIntoOneReport) {
    for (const bool vacuumFails : {false, true}) {
        auto executor = std::make_shared<support::ManualExecutor>();
        std::vector<int> vacuumed;
        const auto journal = itemAt("/var/log/journal", 9000);
        const auto file = itemAt("/var/log/syslog.1", 100);
        CleanableItems handedToFiles;
        auto stream = deleteLogsWithJournals(
            LogsDeletion{
                .context = executor,
                .retentionDays = fixedLogRetention(3),
                .vacuum =
                    [&](int days, const support::Completion<support::Unit>& done) {
                        vacuumed.push_back(days);
                        if (vacuumFails) {
                            done(support::Error::cancelled());
                        } else {
                            done(support::Unit{});
                        }
                    },
                .deleteFiles =
                    [&](CleanableItems items) {
                        handedToFiles = items;
                        return support::makeEventStream<
                            DeletionEvent>([&](const support::EventSink<DeletionEvent>& sink) {
                            const DeletedFileRecord record{items[0].id, 100, "hash"};
                            sink.yield(DeletionStarted{CleaningModuleID::systemLogs, 1});
                            sink.yield(DeletionItemCompleted{CleaningModuleID::systemLogs, record});
                            DeletionReport report;
                            report.moduleID = CleaningModuleID::systemLogs;
                            report.succeeded = {record};
                            sink.yield(DeletionFinished{report});
                            sink.finish();
                        });
                    },
                .now = [] { return TimePoint{}; }},
            {journal}, {file});
        StreamRecording recording;
        record(stream, executor, recording);
        executor->runAll();

        ASSERT_TRUE(recording.endedNormally());
        EXPECT_EQ(vacuumed, std::vector<int>{3});
        ASSERT_EQ(handedToFiles.size(), 1U);
        EXPECT_EQ(handedToFiles[0].url, file.url);
        ASSERT_EQ(recording.events.size(), 5U);
        EXPECT_EQ(std::get<DeletionStarted>(recording.events[0]).totalCount, 2U);
        const auto& report = std::get<DeletionFinished>(recording.events.back()).report;
        ASSERT_EQ(report.succeeded.size(), vacuumFails ? 1U : 2U);
        EXPECT_EQ(report.failed.size(), vacuumFails ? 1U : 0U);
        if (!vacuumFails) {
            EXPECT_EQ(report.succeeded[0].receiptHash, "journal-vacuum-time=3d");
        }
    }
}

}  // namespace
}  // namespace quillo::testing
