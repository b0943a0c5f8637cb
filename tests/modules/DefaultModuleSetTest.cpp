#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "modules/FakeLinuxSystem.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kDay = 86'400;

class DefaultModuleSetTest : public ::testing::Test, protected testing::FakeLinuxSystem {
  protected:
    /// Starts a scan of every module; `runBoth` finishes it.
    void startScan() {
        outcome.reset();
        engine->scan(std::nullopt, {},
                     [this](support::Result<ScanResults> results) { outcome = results; });
    }

    std::set<std::string> logNames() {
        std::set<std::string> names;
        for (const auto& item : outcome->value().at(CleaningModuleID::systemLogs)) {
            names.insert(item.displayName);
        }
        return names;
    }

    std::optional<support::Result<ScanResults>> outcome;
};

TEST_F(DefaultModuleSetTest, HoldsTheEightModulesInIdentifierOrder) {
    std::vector<CleaningModuleID> ids;
    for (const auto& descriptor : engine->descriptors()) {
        ids.push_back(descriptor.id);
    }
    EXPECT_EQ(ids, std::vector<CleaningModuleID>(allCleaningModuleIDs.begin(),
                                                 allCleaningModuleIDs.end()));
    ASSERT_EQ(engine->modules().size(), 8U);
    for (std::size_t index = 0; index < ids.size(); ++index) {
        EXPECT_EQ(engine->modules()[index]->id(), ids[index]);
    }
}

TEST_F(DefaultModuleSetTest, TheDeepScanSettingReachesTheNextScanButNotOneUnderWay) {
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    const auto logs = home / ".local/state/editor";
    testing::makeFile(logs / "old.log", 3000);
    testing::makeFile(logs / "recent.log", 3000);
    testing::setModificationTime(logs / "old.log", now - 30 * kDay, 0);
    testing::setModificationTime(logs / "recent.log", now - kDay, 0);
    testing::makeFile(system / "var/cache/apt/pkgcache.bin", 9000);
    testing::makeFile(system / "var/cache/debconf/config.dat", 9000);
    testing::makeFile(system / "var/cache/fontconfig/cache-8", 9000);
    testing::makeFile(system / "tmp/leftover", 100);

    startScan();
    runBoth();
    ASSERT_TRUE(outcome && outcome->ok());
    EXPECT_EQ(outcome->value().size(), 8U);
    EXPECT_EQ(logNames(), (std::set<std::string>{"old.log"}));
    // The package configuration is never offered, and the font caches only by their module.
    const auto& caches = outcome->value().at(CleaningModuleID::systemCaches);
    ASSERT_EQ(caches.size(), 1U);
    EXPECT_EQ(caches.front().url, system / "var/cache/apt");
    ASSERT_EQ(outcome->value().at(CleaningModuleID::fontCache).size(), 1U);
    EXPECT_EQ(outcome->value().at(CleaningModuleID::tempFiles).size(), 1U);

    settings.setDeepScanEnabled(true);
    startScan();
    runBoth();
    ASSERT_TRUE(outcome && outcome->ok());
    EXPECT_EQ(logNames(), (std::set<std::string>{"old.log", "recent.log"}));

    // Once the modules have their answer, a change of the setting waits for the next scan.
    startScan();
    work->runAll();
    main->runAll();
    settings.setDeepScanEnabled(false);
    runBoth();
    ASSERT_TRUE(outcome && outcome->ok());
    EXPECT_EQ(logNames(), (std::set<std::string>{"old.log", "recent.log"}));
}

}  // namespace
}  // namespace quillo
