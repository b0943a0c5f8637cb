#include <gtest/gtest.h>

#include "helper/HelperService.h"
#include "modules/ArchivedJournals.h"
#include "modules/FakeLinuxSystem.h"
#include "modules/FileModuleTestSupport.h"
#include "support/Alternatives.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kDay = 86'400;

LocalSnapshot snapperSnapshot(std::string number) {
    LocalSnapshot snapshot;
    snapshot.source = SnapshotSource::snapper;
    snapshot.configuration = "root";
    snapshot.dateToken = std::move(number);
    snapshot.label = "2026-11-01 10:00:01 – vor Upgrade";
    return snapshot;
}

// The helper lists snapshots and journals itself; the caller only names them by path.
struct HelperToolItems : ::testing::Test {
    std::vector<HelperMessage> answer(const HelperRequest& request) {
        auto services =
            fakeModuleServices(work, linuxSystemLocations(system), ReceiptStore::InMemory{});
        services.snapshotLister = [](const support::Completion<std::vector<LocalSnapshot>>& done) {
            done(std::vector{snapperSnapshot("42")});
        };
        services.snapshotDeleter = [this](const LocalSnapshot& snapshot,
                                          const support::Completion<support::Unit>& done) {
            deleted.push_back(snapshot);
            done(support::Unit{});
        };
        services.journalVacuum = [this](int days, const support::Completion<support::Unit>& done) {
            vacuumedDays.push_back(days);
            done(support::Unit{});
        };
        std::vector<HelperMessage> messages;
        auto service = HelperService::create(
            std::move(services),
            [&messages](const HelperMessage& message) { messages.push_back(message); });
        bool done = false;
        service->answer(encodeRequest(request), [&done] { done = true; });
        work->runAll();
        EXPECT_TRUE(done);
        return messages;
    }

    TemporaryDirectory folder;
    fs::path system = folder / "system";
    fs::path journal = system / "var/log/journal";
    std::shared_ptr<support::ManualExecutor> work = std::make_shared<support::ManualExecutor>();
    std::vector<LocalSnapshot> deleted;
    std::vector<int> vacuumedDays;
};

TEST_F(HelperToolItems, AScanSendsTheListedSnapshotsAndTheArchivedJournals) {
    makeFile(journal / "m1/system@0001-0002-0003.journal", 8192);
    setAge(journal / "m1/system@0001-0002-0003.journal", 30 * kDay);
    const auto items = alternativesOf<CleanableItem>(answer(HelperScanRequest{
        .modules = {CleaningModuleID::localSnapshots, CleaningModuleID::systemLogs},
        .depth = ScanDepth::standard,
        .logRetentionDays = kDefaultLogRetentionDays}));
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].displayName, kArchivedJournalsName);
    EXPECT_EQ(items[0].url, journal);
    EXPECT_EQ(items[1].url, "/.snapshots/snapper/root/42");
}

TEST_F(HelperToolItems, DeletesOnlyWhatItListedItselfAndVacuumsWithTheBoundedRetention) {
    makeFile(journal / "m1/system@0001-0002-0003.journal", 8192);
    setAge(journal / "m1/system@0001-0002-0003.journal", 30 * kDay);
    const HelperWish listed{Uuid::random(), CleaningModuleID::localSnapshots,
                            "/.snapshots/snapper/root/42"};
    const HelperWish unlisted{Uuid::random(), CleaningModuleID::localSnapshots,
                              "/.snapshots/snapper/root/7"};
    const HelperWish option{Uuid::random(), CleaningModuleID::localSnapshots,
                            "/.snapshots/snapper/--all/1"};
    const HelperWish journals{Uuid::random(), CleaningModuleID::systemLogs, journal.string()};
    const auto messages = answer(HelperDeleteRequest{.mode = DeletionMode::standard,
                                                     .wishes = {listed, unlisted, option, journals},
                                                     .logRetentionDays = 1000});

    const auto removed = alternativesOf<DeletedFileRecord>(messages);
    ASSERT_EQ(removed.size(), 2U);
    EXPECT_EQ((std::set{removed[0].id, removed[1].id}), (std::set{journals.id, listed.id}));
    std::map<Uuid, std::string> reasons;
    for (const auto& failed : alternativesOf<FailedFileRecord>(messages)) {
        reasons[failed.id] = failed.reason;
    }
    ASSERT_EQ(reasons.size(), 2U);
    EXPECT_TRUE(reasons[unlisted.id].starts_with("Der Administrator-Helfer hat dieses Objekt"));
    EXPECT_TRUE(reasons[option.id].starts_with("Der Pfad liegt nicht"));
    ASSERT_EQ(deleted.size(), 1U);
    EXPECT_EQ(deleted[0].dateToken, "42");
    EXPECT_EQ(deleted[0].configuration, "root");
    EXPECT_EQ(vacuumedDays, std::vector<int>{365});
    EXPECT_TRUE(fs::exists(journal / "m1/system@0001-0002-0003.journal"));
}

TEST_F(HelperToolItems, AStandardScanOffersOnlyLogsOlderThanTheRetentionItWasSent) {
    makeFile(system / "var/log/syslog.1", 100);
    // The helper reads the real clock.
    setAgeByTheClock(system / "var/log/syslog.1", 10 * kDay);
    const auto offered = [this](int days) {
        return alternativesOf<CleanableItem>(
                   answer(HelperScanRequest{.modules = {CleaningModuleID::systemLogs},
                                            .depth = ScanDepth::standard,
                                            .logRetentionDays = days}))
            .size();
    };
    EXPECT_EQ(offered(7), 1U);
    EXPECT_EQ(offered(30), 0U);
}

int retentionRead(const HelperRequest& request) {
    if (const auto* scan = std::get_if<HelperScanRequest>(&request)) {
        return scan->logRetentionDays;
    }
    return std::get<HelperDeleteRequest>(request).logRetentionDays;
}

TEST(HelperRequestRetentionTest, TheRetentionIsReadWithinItsBoundsInEitherRequest) {
    const std::vector<std::pair<std::string, int>> cases{
        {"7", 7}, {"0", 0}, {"-3", 0}, {"400", 365}, {"18446744073709551615", 365}};
    for (const std::string prefix : {R"({"request":"delete","mode":"standard","wishes":[],)",
                                     R"({"request":"scan","modules":[],"depth":"standard",)"}) {
        for (const auto& [sent, read] : cases) {
            auto line = prefix;
            line += R"("logRetentionDays":)";
            line += sent;
            line += "}";
            const auto request = decodeRequest(line);
            ASSERT_TRUE(request.ok()) << prefix << sent;
            EXPECT_EQ(retentionRead(request.value()), read) << prefix << sent;
        }
        EXPECT_FALSE(decodeRequest(prefix + R"("logRetentionDays":"7"})").ok()) << prefix;
    }
}

}  // namespace
}  // namespace quillo::testing
