#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/StandardDirectories.h"
#include "support/Formatting.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "system/FileDefaultsStore.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const TimePoint kNow{std::chrono::seconds(1'741'944'413)};

class FileDefaultsStoreTest : public ::testing::Test {
  protected:
    [[nodiscard]] FileDefaultsStore makeStore() const {
        return FileDefaultsStore(file_, [] { return kNow; });
    }

    [[nodiscard]] json fileDocument() const { return json::parse(testing::readTextFile(file_)); }

    [[nodiscard]] std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(file_.parent_path())) {
            names.push_back(entry.path().filename());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    [[nodiscard]] static std::string asideName() {
        return "defaults.json.unreadable-" + support::formatFileNameTimestamp(kNow);
    }

    testing::TemporaryDirectory folder_;
    fs::path file_ = folder_ / "config" / "Quillo" / "defaults.json";
};

TEST_F(FileDefaultsStoreTest, MissingFileGivesNoValuesAndTheFirstWriteCreatesOneObject) {
    auto store = makeStore();
    EXPECT_EQ(store.value("quillo.deepScanEnabled"), std::nullopt);
    EXPECT_FALSE(fs::exists(file_.parent_path()));

    ASSERT_TRUE(store.setValue("quillo.deepScanEnabled", true).ok());
    EXPECT_EQ(fileDocument(), json({{"quillo.deepScanEnabled", true}}));
    // Written through a temporary file that is gone afterwards.
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"defaults.json"});
}

TEST_F(FileDefaultsStoreTest, ValuesAndRemovalsLastIntoTheNextStore) {
    {
        auto store = makeStore();
        ASSERT_TRUE(store.setValue("quillo.deletionMode", "secureOverwrite").ok());
        ASSERT_TRUE(store.setValue("quillo.logRetentionDays", 30).ok());
        ASSERT_TRUE(store.setValue("quillo.disabledModuleIDs", json::array({"fontCache"})).ok());
        ASSERT_TRUE(store.setValue("quillo.onboardingCompleted", true).ok());
        ASSERT_TRUE(store.removeValue("quillo.onboardingCompleted").ok());
        ASSERT_TRUE(store.removeValue("quillo.neverSet").ok());
    }
    const auto reopened = makeStore();
    EXPECT_EQ(reopened.value("quillo.deletionMode"), json("secureOverwrite"));
    EXPECT_EQ(reopened.value("quillo.logRetentionDays"), json(30));
    EXPECT_TRUE(reopened.value("quillo.logRetentionDays")->is_number_integer());
    EXPECT_EQ(reopened.value("quillo.disabledModuleIDs"), json::array({"fontCache"}));
    EXPECT_EQ(reopened.value("quillo.onboardingCompleted"), std::nullopt);
}

TEST_F(FileDefaultsStoreTest, KeysItDoesNotKnowAreKept) {
    const json foreign = {{"other.window", {{"width", 800}, {"tabs", {1, 2}}}}};
    testing::writeTextFile(file_, foreign.dump());
    auto store = makeStore();
    ASSERT_TRUE(store.setValue("quillo.deletionMode", "standard").ok());
    auto expected = foreign;
    expected["quillo.deletionMode"] = "standard";
    EXPECT_EQ(fileDocument(), expected);
}

TEST_F(FileDefaultsStoreTest, FileWithoutAJsonObjectIsKeptAndMovedAsideAtTheFirstWrite) {
    for (const std::string contents : {"{\"quillo.deletionMode\": ", "", "[\"standard\"]", "7",
                                       "{\"quillo.deletionMode\": \"\xff\"}"}) {
        SCOPED_TRACE(contents);
        fs::remove_all(file_.parent_path());
        testing::writeTextFile(file_, contents);

        auto store = makeStore();
        EXPECT_EQ(store.value("quillo.deletionMode"), std::nullopt);
        EXPECT_EQ(folderEntries(), std::vector<std::string>{"defaults.json"});
        EXPECT_EQ(testing::readTextFile(file_), contents);

        ASSERT_TRUE(store.setValue("quillo.deepScanEnabled", true).ok());
        EXPECT_EQ(folderEntries(), (std::vector<std::string>{"defaults.json", asideName()}));
        EXPECT_EQ(testing::readTextFile(file_.parent_path() / asideName()), contents);
        EXPECT_EQ(fileDocument(), json({{"quillo.deepScanEnabled", true}}));

        // Set aside once; later writes only replace the new file.
        ASSERT_TRUE(store.setValue("quillo.deepScanEnabled", false).ok());
        EXPECT_EQ(folderEntries().size(), 2U);
    }
}

TEST_F(FileDefaultsStoreTest, FifoInTheFilesPlaceNeitherBlocksNorIsWrittenInto) {
    fs::create_directories(file_.parent_path());
    ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0);
    auto store = makeStore();
    ASSERT_TRUE(store.setValue("quillo.deepScanEnabled", true).ok());
    EXPECT_EQ(fs::symlink_status(file_.parent_path() / asideName()).type(), fs::file_type::fifo);
    EXPECT_EQ(fileDocument(), json({{"quillo.deepScanEnabled", true}}));
}

TEST_F(FileDefaultsStoreTest, FailedWriteIsReportedAndTheNextOneSavesEveryValue) {
    // A file where the folder "Quillo" belongs makes creating the folder fail.
    testing::writeTextFile(file_.parent_path(), "in the way");
    auto store = makeStore();
    const auto failed = store.setValue("quillo.deletionMode", "secureOverwrite");
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().as<DefaultsStoreError>(), nullptr);
    EXPECT_EQ(
        failed.error().description().rfind("Einstellungen konnten nicht gespeichert werden: ", 0),
        0U)
        << failed.error().description();
    EXPECT_EQ(store.value("quillo.deletionMode"), json("secureOverwrite"));
    EXPECT_EQ(testing::readTextFile(file_.parent_path()), "in the way");

    fs::remove(file_.parent_path());
    ASSERT_TRUE(store.setValue("quillo.deepScanEnabled", true).ok());
    EXPECT_EQ(fileDocument(),
              json({{"quillo.deletionMode", "secureOverwrite"}, {"quillo.deepScanEnabled", true}}));
}

TEST(FileDefaultsStoreLocationTest, DefaultFileLiesInTheApplicationsConfigurationFolder) {
    EXPECT_EQ(FileDefaultsStore::defaultURL(),
              platform::configurationFolder() / "Quillo" / "defaults.json");
}

}  // namespace
}  // namespace quillo
