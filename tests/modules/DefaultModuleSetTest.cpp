#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
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
                     [this](const support::Result<ScanResults>& results) { outcome = results; });
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

struct ExpectedDescriptor {
    CleaningModuleID id;
    const char* displayName;
    const char* explanation;
    const char* symbolName;
    double estimatedScanDuration;
    bool isDestructive;
    bool requiresFullDiskAccess;
};

// The catalogue of modules as the window shows it. Destructive modules ask
// for the typed confirmation, so their flag is as much a safety rule as a label.
const ExpectedDescriptor kCatalogue[] = {
    {CleaningModuleID::systemCaches, "System-Caches",
     "Zwischengespeicherte Daten von Apps und macOS. Caches laufender Programme werden "
     "übersprungen.",
     "internaldrive", 2.0, false, true},
    {CleaningModuleID::systemLogs, "System-Logs",
     "Protokolldateien des Systems und einzelner Apps. Aktuelle Logs werden geschont.",
     "doc.text.magnifyingglass", 1.5, false, true},
    {CleaningModuleID::diagnosticReports, "Diagnoseberichte",
     "Crash- und Hang-Reports vergangener App-Abstürze.", "stethoscope", 0.6, false, true},
    {CleaningModuleID::tempFiles, "Temporäre Dateien",
     "Übriggebliebene Arbeitsdateien aus /tmp und ähnlichen Pfaden. Dateien in Benutzung werden "
     "markiert.",
     "tray.full", 1.0, false, false},
    {CleaningModuleID::localSnapshots, "Lokale Snapshots",
     "APFS-Schnappschüsse von Time Machine. Löschung ist endgültig. Schnappschüsse teilen "
     "Speicher — die tatsächlich freigegebene Größe variiert.",
     "clock.arrow.circlepath", 0.6, true, true},
    {CleaningModuleID::sleepImage, "Ruhezustand-Abbild",
     "Abbild des Arbeitsspeichers für den Tiefschlaf. Nur sicher zu löschen, wenn Tiefschlaf "
     "deaktiviert ist.",
     "powersleep", 0.3, true, true},
    {CleaningModuleID::applicationResidual, "App-Reste",
     "Übrig gebliebene Daten deinstallierter Programme.", "shippingbox", 1.0, false, true},
    {CleaningModuleID::fontCache, "Schrift-Caches",
     "Beschädigte oder veraltete Schriftarten-Caches. Werden nach dem Löschen automatisch neu "
     "aufgebaut.",
     "textformat", 0.4, false, true},
};

TEST_F(DefaultModuleSetTest, EachModuleDescribesItselfAsTheCatalogueSaysInIdentifierOrder) {
    const auto descriptors = engine->descriptors();
    ASSERT_EQ(descriptors.size(), std::size(kCatalogue));
    ASSERT_EQ(engine->modules().size(), std::size(kCatalogue));
    for (std::size_t index = 0; index < descriptors.size(); ++index) {
        const auto& descriptor = descriptors[index];
        const auto& expected =
            *std::ranges::find(kCatalogue, descriptor.id, &ExpectedDescriptor::id);
        SCOPED_TRACE(expected.displayName);
        EXPECT_EQ(descriptor.id, allCleaningModuleIDs[index]);
        EXPECT_EQ(engine->modules()[index]->id(), expected.id);
        EXPECT_EQ(descriptor.displayName, LocalizableText::ownKey(expected.displayName));
        EXPECT_EQ(descriptor.explanation, LocalizableText::ownKey(expected.explanation));
        EXPECT_EQ(descriptor.symbolName, expected.symbolName);
        EXPECT_DOUBLE_EQ(descriptor.estimatedScanDuration, expected.estimatedScanDuration);
        EXPECT_EQ(descriptor.isDestructive, expected.isDestructive);
        EXPECT_EQ(engine->modules()[index]->isDestructive(), expected.isDestructive);
        EXPECT_FALSE(descriptor.isAvailableInSandbox);
        EXPECT_EQ(descriptor.requiresFullDiskAccess, expected.requiresFullDiskAccess);
    }
}

TEST_F(DefaultModuleSetTest, TheDeepScanSettingReachesTheNextScanButNotOneUnderWay) {
    const auto logs = home / ".local/state/editor";
    testing::makeFile(logs / "old.log", 3000);
    testing::makeFile(logs / "recent.log", 3000);
    testing::setAgeByTheClock(logs / "old.log", 30 * kDay);
    testing::setAgeByTheClock(logs / "recent.log", kDay);
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

bool offers(const ScanResults& results, CleaningModuleID module, const fs::path& url,
            bool preselected, const std::vector<CleanableItemWarning>& warnings) {
    return std::ranges::any_of(results.at(module), [&](const CleanableItem& item) {
        return item.url == url && item.isSafeToDeleteByDefault == preselected &&
               item.warnings == warnings;
    });
}

// An ordinary user's scan over a home of his own and a system of root's: every module with
// data of his offers it, the system folders he cannot change are not walked, and another
// user's entry in the shared temp folder is offered but never preselected.
TEST(DefaultModuleSetUnprivilegedTest, OffersTheUsersOwnDataAndMarksWhatHeCannotRemove) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the fake system needs entries of two owners, which only root can make";
    }
    testing::TemporaryDirectory base;
    testing::makeReadableByAll(base.path());
    const auto home = base / "home/anna";
    const auto system = base / "system";
    for (const auto& file :
         {home / ".cache/editor/blob", home / ".local/state/editor/old.log",
          home / ".var/app/org.gone.Tool/data", home / ".cache/fontconfig/abc-le64.cache-8",
          system / "var/cache/apt/pkgcache.bin", system / "var/log/syslog.1", system / "tmp/theirs",
          system / "tmp/mine"}) {
        testing::makeFile(file, 3000);
    }
    ASSERT_EQ(::chmod((system / "tmp").c_str(), 01777), 0);
    testing::giveToUnprivilegedUser(system / "tmp/mine");
    for (const auto& entry : fs::recursive_directory_iterator(base.path())) {
        testing::setAgeByTheClock(entry.path(), 30 * kDay);
        if (entry.path().string().starts_with((base / "home").string())) {
            testing::giveToUnprivilegedUser(entry.path());
        }
    }
    testing::giveToUnprivilegedUser(base / "home");

    using Results = ScanResults;
    const struct {
        const char* what;
        std::function<bool(const Results&)> holds;
    } expectations[] = {
        {"own cache",
         [&](const Results& results) {
             return offers(results, CleaningModuleID::systemCaches, home / ".cache/editor", true,
                           {});
         }},
        {"own log",
         [&](const Results& results) {
             return offers(results, CleaningModuleID::systemLogs,
                           home / ".local/state/editor/old.log", true, {});
         }},
        {"own residual",
         [&](const Results& results) {
             return offers(results, CleaningModuleID::applicationResidual,
                           home / ".var/app/org.gone.Tool", true, {});
         }},
        {"own font caches",
         [&](const Results& results) {
             return offers(results, CleaningModuleID::fontCache, home / ".cache/fontconfig", true,
                           {});
         }},
        {"own temp file",
         [&](const Results& results) {
             return offers(results, CleaningModuleID::tempFiles, system / "tmp/mine", true, {});
         }},
        {"another user's temp file, marked",
         [&](const Results& results) {
             return offers(results, CleaningModuleID::tempFiles, system / "tmp/theirs", false,
                           {CleanableItemWarning::requiresElevatedPrivileges});
         }},
        {"nothing of the system's caches and logs",
         [&](const Results& results) {
             return results.at(CleaningModuleID::systemCaches).size() == 1 &&
                    results.at(CleaningModuleID::systemLogs).size() == 1;
         }},
    };
    const auto held = testing::runUnprivileged([&] {
        testing::FakeLinuxSystem fake(ReceiptStore::InMemory{}, base.path());
        std::optional<support::Result<ScanResults>> outcome;
        fake.engine->scan(std::nullopt, {},
                          [&](const support::Result<ScanResults>& results) { outcome = results; });
        fake.runBoth();
        std::int64_t bits = 0;
        for (std::size_t index = 0; outcome && outcome->ok() && index < std::size(expectations);
             ++index) {
            bits |= static_cast<std::int64_t>(expectations[index].holds(outcome->value())) << index;
        }
        return bits;
    });
    ASSERT_TRUE(held.has_value());
    for (std::size_t index = 0; index < std::size(expectations); ++index) {
        EXPECT_TRUE((*held >> index) & 1) << expectations[index].what;
    }
}

}  // namespace
}  // namespace quillo
