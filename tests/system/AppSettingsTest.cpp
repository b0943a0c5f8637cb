#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "system/AppSettings.h"
#include "system/FileDefaultsStore.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using FullDiskAccessProbe::Status;
using nlohmann::json;
using StoredValues = std::map<std::string, json, std::less<>>;

const std::vector<std::string> kAllKeys{
    "quillo.deletionMode",        "quillo.logRetentionDays",     "quillo.disabledModuleIDs",
    "quillo.onboardingCompleted", "quillo.dailyReminderEnabled", "quillo.deepScanEnabled",
};

const StoredValues kNoDefaultAnywhere{
    {"quillo.deletionMode", "secureOverwriteThreePass"},
    {"quillo.logRetentionDays", 30},
    {"quillo.disabledModuleIDs", json::array({"sleepImage", "localSnapshots"})},
    {"quillo.onboardingCompleted", true},
    {"quillo.dailyReminderEnabled", true},
    {"quillo.deepScanEnabled", true},
};

const StoredValues kEveryKeyWronglyTyped{
    {"quillo.deletionMode", 1},
    {"quillo.logRetentionDays", "30"},
    {"quillo.disabledModuleIDs", "tempFiles"},
    {"quillo.onboardingCompleted", "true"},
    {"quillo.dailyReminderEnabled", 1},
    {"quillo.deepScanEnabled", nullptr},
};

class AppSettingsTest : public ::testing::Test {
  protected:
    AppSettings& makeSettings(StoredValues stored = {}) {
        return makeSettings(std::make_unique<InMemoryDefaultsStore>(std::move(stored)));
    }

    AppSettings& makeSettings(std::unique_ptr<DefaultsStore> store) {
        settings_ = std::make_unique<AppSettings>(
            std::move(store), SettingsEnvironment{
                                  .checkFullDiskAccess =
                                      [this] {
                                          ++probes_;
                                          return probeAnswer_;
                                      },
                                  .reportStoreFailure =
                                      [this](const support::Error& error) {
                                          failures_.push_back(error.description());
                                      },
                              });
        subscription_ =
            settings_->observe([this](std::string_view field) { notified_.emplace_back(field); });
        return *settings_;
    }

    [[nodiscard]] std::optional<json> stored(std::string_view key) const {
        return settings_->defaults().value(key);
    }

    static void expectDefaults(const AppSettings& settings) {
        EXPECT_EQ(settings.deletionMode(), DeletionMode::standard);
        EXPECT_EQ(settings.logRetentionDays(), 7);
        EXPECT_TRUE(settings.disabledModuleIDs().empty());
        EXPECT_FALSE(settings.onboardingCompleted());
        EXPECT_FALSE(settings.dailyReminderEnabled());
        EXPECT_FALSE(settings.deepScanEnabled());
    }

    testing::TemporaryDirectory folder_;
    fs::path defaultsFile_ = folder_ / "config" / "Quillo" / "defaults.json";
    Status probeAnswer_ = Status::denied;
    int probes_ = 0;
    std::vector<std::string> failures_;
    std::vector<std::string> notified_;
    std::unique_ptr<AppSettings> settings_;
    support::ChangeNotifier::Subscription subscription_;
};

// Reading the store

TEST_F(AppSettingsTest, StoreWithoutAnyKeyGivesTheDefaultsAndIsNotWritten) {
    const auto& settings = makeSettings();
    expectDefaults(settings);
    EXPECT_EQ(settings.enabledModuleIDs(),
              std::set<CleaningModuleID>(allCleaningModuleIDs.begin(), allCleaningModuleIDs.end()));
    for (const auto& key : kAllKeys) {
        EXPECT_EQ(stored(key), std::nullopt) << key;
    }
    EXPECT_EQ(settings.fullDiskAccessStatus(), Status::denied);
    EXPECT_EQ(probes_, 1);
    EXPECT_TRUE(notified_.empty());
}

TEST_F(AppSettingsTest, StoredValuesAreRead) {
    const auto& settings = makeSettings(kNoDefaultAnywhere);
    EXPECT_EQ(settings.deletionMode(), DeletionMode::secureOverwriteThreePass);
    EXPECT_EQ(settings.logRetentionDays(), 30);
    EXPECT_EQ(settings.disabledModuleIDs(),
              (std::set{CleaningModuleID::sleepImage, CleaningModuleID::localSnapshots}));
    EXPECT_TRUE(settings.onboardingCompleted());
    EXPECT_TRUE(settings.dailyReminderEnabled());
    EXPECT_TRUE(settings.deepScanEnabled());
    EXPECT_EQ(settings.enabledModuleIDs().size(), allCleaningModuleIDs.size() - 2);
    EXPECT_FALSE(settings.enabledModuleIDs().contains(CleaningModuleID::sleepImage));
}

TEST_F(AppSettingsTest, DeletionModeMustBeARawValueExactly) {
    const std::vector<std::pair<json, DeletionMode>> cases{
        {"secureOverwrite", DeletionMode::secureOverwrite},
        {"SecureOverwrite", DeletionMode::standard},
        {"secureOverwrite ", DeletionMode::standard},
        {"secureOverwriteThreePass", DeletionMode::secureOverwriteThreePass},
        {json::array({"secureOverwrite"}), DeletionMode::standard},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(makeSettings({{"quillo.deletionMode", value}}).deletionMode(), expected) << value;
    }
}

TEST_F(AppSettingsTest, DisabledListSkipsStringsThatNameNoModuleAndANonStringSpoilsIt) {
    const std::vector<std::pair<json, std::set<CleaningModuleID>>> cases{
        {json::array({"tempFiles", "trash", "fontCache"}),
         {CleaningModuleID::tempFiles, CleaningModuleID::fontCache}},
        {json::array({"tempFiles", 3}), {}},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(makeSettings({{"quillo.disabledModuleIDs", value}}).disabledModuleIDs(), expected)
            << value;
    }
}

TEST_F(AppSettingsTest, RetentionIsTakenAsStoredWhenItIsAWholeNumber) {
    const std::vector<std::pair<json, int>> cases{
        {1000, 1000},  // construction does not clamp
        {-5, -5},
        {30.0, 30},
        {7.5, 7},
        {1e12, 7},
        {std::numeric_limits<std::uint64_t>::max(), 7},
        {true, 7},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(makeSettings({{"quillo.logRetentionDays", value}}).logRetentionDays(), expected)
            << value;
    }
}

TEST_F(AppSettingsTest, DefaultsFileWithEveryKeyWronglyTypedOrUnparsableGivesTheDefaults) {
    const auto contents = json(kEveryKeyWronglyTyped).dump();
    testing::writeTextFile(defaultsFile_, contents);
    expectDefaults(makeSettings(std::make_unique<FileDefaultsStore>(defaultsFile_)));
    EXPECT_EQ(testing::readTextFile(defaultsFile_), contents);
    EXPECT_TRUE(failures_.empty());

    // Setting an unparsable file aside is the store's part: see FileDefaultsStoreTest.
    testing::writeTextFile(defaultsFile_, "{\"quillo.deepScanEnabled\": tru");
    expectDefaults(makeSettings(std::make_unique<FileDefaultsStore>(defaultsFile_)));
}
// Assigning

TEST_F(AppSettingsTest, AssignmentsWriteTheStoredFormsUnderTheirKeysAndNotify) {
    auto& settings = makeSettings();
    settings.setDeletionMode(DeletionMode::secureOverwrite);
    settings.setLogRetentionDays(30);
    settings.setDisabledModuleIDs({CleaningModuleID::fontCache, CleaningModuleID::systemLogs});
    settings.setOnboardingCompleted(true);
    settings.setDailyReminderEnabled(true);
    settings.setDeepScanEnabled(true);

    EXPECT_EQ(stored("quillo.deletionMode"), json("secureOverwrite"));
    EXPECT_EQ(stored("quillo.logRetentionDays"), json(30));
    EXPECT_TRUE(stored("quillo.logRetentionDays")->is_number_integer());
    const auto list = stored("quillo.disabledModuleIDs").value_or(json());
    ASSERT_TRUE(list.is_array());
    EXPECT_EQ(list.get<std::set<std::string>>(),
              (std::set<std::string>{"fontCache", "systemLogs"}));
    for (const auto* key :
         {"quillo.onboardingCompleted", "quillo.dailyReminderEnabled", "quillo.deepScanEnabled"}) {
        EXPECT_EQ(stored(key), json(true)) << key;
    }
    EXPECT_EQ(notified_, (std::vector<std::string>{"deletionMode", "logRetentionDays",
                                                   "disabledModuleIDs", "onboardingCompleted",
                                                   "dailyReminderEnabled", "deepScanEnabled"}));
}

TEST_F(AppSettingsTest, AssigningTheCurrentValueStillWritesItButNotifiesNobody) {
    auto& settings = makeSettings({{"quillo.disabledModuleIDs", json::array({"fontCache"})}});
    settings.setDeletionMode(DeletionMode::standard);
    settings.setDeepScanEnabled(false);
    settings.setLogRetentionDays(7);
    settings.setModuleEnabled(CleaningModuleID::systemCaches, true);
    EXPECT_EQ(stored("quillo.deletionMode"), json("standard"));
    EXPECT_EQ(stored("quillo.deepScanEnabled"), json(false));
    EXPECT_EQ(stored("quillo.logRetentionDays"), json(7));
    EXPECT_EQ(stored("quillo.disabledModuleIDs"), json::array({"fontCache"}));
    EXPECT_TRUE(notified_.empty());
}

TEST_F(AppSettingsTest, StoredRetentionOutOfRangeIsClampedAtItsFirstAssignment) {
    auto& settings = makeSettings({{"quillo.logRetentionDays", 1000}});
    EXPECT_EQ(settings.logRetentionDays(), 1000);
    settings.setLogRetentionDays(1000);
    EXPECT_EQ(settings.logRetentionDays(), 365);
    EXPECT_EQ(stored("quillo.logRetentionDays"), json(365));
    EXPECT_EQ(notified_, std::vector<std::string>{"logRetentionDays"});
}

TEST_F(AppSettingsTest, RetentionAssignmentsAreKeptWithinAYear) {
    auto& settings = makeSettings();
    const std::vector<std::pair<int, int>> cases{
        {-3, 0}, {0, 0}, {365, 365}, {366, 365}, {std::numeric_limits<int>::min(), 0}, {12, 12}};
    for (const auto& [assigned, kept] : cases) {
        settings.setLogRetentionDays(assigned);
        EXPECT_EQ(settings.logRetentionDays(), kept) << assigned;
        EXPECT_EQ(stored("quillo.logRetentionDays"), json(kept)) << assigned;
    }
    // 7 → 0, 0 → 365, 365 → 0, 0 → 12: a clamped value equal to the held one notifies nobody.
    EXPECT_EQ(notified_.size(), 4U);
}

TEST_F(AppSettingsTest, DisablingAndReenablingAModuleLeavesAnEmptyListInTheStore) {
    auto& settings = makeSettings();
    settings.setModuleEnabled(CleaningModuleID::tempFiles, false);
    EXPECT_EQ(settings.disabledModuleIDs(), std::set{CleaningModuleID::tempFiles});
    EXPECT_EQ(stored("quillo.disabledModuleIDs"), json::array({"tempFiles"}));
    EXPECT_FALSE(settings.enabledModuleIDs().contains(CleaningModuleID::tempFiles));

    settings.setModuleEnabled(CleaningModuleID::tempFiles, true);
    EXPECT_TRUE(settings.disabledModuleIDs().empty());
    EXPECT_EQ(stored("quillo.disabledModuleIDs"), json::array());
    EXPECT_EQ(settings.enabledModuleIDs().size(), allCleaningModuleIDs.size());
    EXPECT_EQ(notified_, (std::vector<std::string>{"disabledModuleIDs", "disabledModuleIDs"}));
}

TEST_F(AppSettingsTest, StoreThatCannotSaveIsReportedWhileTheValueIsStillHeld) {
    // A file where the folder "Quillo" belongs: the defaults file can never be written.
    testing::writeTextFile(defaultsFile_.parent_path(), "in the way");
    auto& settings = makeSettings(std::make_unique<FileDefaultsStore>(defaultsFile_));
    settings.setDeepScanEnabled(true);
    settings.setDeletionMode(DeletionMode::secureOverwrite);

    EXPECT_TRUE(settings.deepScanEnabled());
    EXPECT_EQ(settings.deletionMode(), DeletionMode::secureOverwrite);
    EXPECT_EQ(notified_, (std::vector<std::string>{"deepScanEnabled", "deletionMode"}));
    ASSERT_EQ(failures_.size(), 2U);
    EXPECT_NE(failures_.front().find("Einstellungen konnten nicht gespeichert werden"),
              std::string::npos)
        << failures_.front();
}

// Resetting

TEST_F(AppSettingsTest, ResetWritesEveryDefault) {
    auto stored = kNoDefaultAnywhere;
    stored.emplace("other.key", "kept");
    probeAnswer_ = Status::granted;
    auto& settings = makeSettings(std::move(stored));
    // Observers are told only once everything is back to its default.
    const auto checkComplete = settings.observe([&](std::string_view field) {
        EXPECT_FALSE(settings.deepScanEnabled()) << field;
        EXPECT_EQ(settings.deletionMode(), DeletionMode::standard) << field;
    });

    settings.resetAll();

    expectDefaults(settings);
    EXPECT_EQ(this->stored("quillo.deletionMode"), json("standard"));
    EXPECT_EQ(this->stored("quillo.logRetentionDays"), json(7));
    EXPECT_EQ(this->stored("quillo.disabledModuleIDs"), json::array());
    for (const auto* key :
         {"quillo.onboardingCompleted", "quillo.dailyReminderEnabled", "quillo.deepScanEnabled"}) {
        EXPECT_EQ(this->stored(key), json(false)) << key;
    }
    EXPECT_EQ(this->stored("other.key"), json("kept"));
    EXPECT_EQ(settings.fullDiskAccessStatus(), Status::granted);
    EXPECT_EQ(probes_, 1);
    EXPECT_EQ(std::set<std::string>(notified_.begin(), notified_.end()).size(), 6U);
    EXPECT_EQ(notified_.size(), 6U);
}

// Full disk access

TEST_F(AppSettingsTest, FullDiskAccessIsCheckedOnceAndAgainOnlyWhenAsked) {
    auto& settings = makeSettings(std::make_unique<FileDefaultsStore>(defaultsFile_));
    EXPECT_EQ(probes_, 1);

    settings.refreshFullDiskAccessStatus();
    EXPECT_EQ(probes_, 2);
    EXPECT_TRUE(notified_.empty());

    probeAnswer_ = Status::granted;
    settings.refreshFullDiskAccessStatus();
    EXPECT_EQ(settings.fullDiskAccessStatus(), Status::granted);
    EXPECT_EQ(notified_, std::vector<std::string>{"fullDiskAccessStatus"});
    // The status is never persisted: nothing was written at all.
    EXPECT_FALSE(fs::exists(defaultsFile_));
}

}  // namespace
}  // namespace quillo
