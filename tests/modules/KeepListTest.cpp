#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "helper/HelperProtocol.h"
#include "model/KeepList.h"
#include "modules/EngineTestSupport.h"
#include "modules/FakeLinuxSystem.h"
#include "platform/KeptPaths.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;

struct KeepCase {
    const char* rule;
    const char* path;
    bool keeps;
};

class KeepListKeepsTest : public ::testing::TestWithParam<KeepCase> {};

TEST_P(KeepListKeepsTest, KeepsThePathAndWhatLiesBelowIt) {
    EXPECT_EQ(KeepList({GetParam().rule}).keeps(GetParam().path), GetParam().keeps)
        << GetParam().rule << " / " << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, KeepListKeepsTest,
    ::testing::Values(KeepCase{"/h/.cache/app/keep", "/h/.cache/app/keep", true},
                      KeepCase{"/h/.cache/app/keep", "/h/.cache/app/keep/inner", true},
                      KeepCase{"/h/.cache/app/keep", "/h/.cache/app", false},
                      KeepCase{"/h/.cache/app/keep", "/h/.cache/app/keeper", false},
                      KeepCase{"/h/.cache/app/keep/", "/h/.cache//app/keep", true},
                      KeepCase{"/h/.cache/*.db", "/h/.cache/index.db", true},
                      KeepCase{"/h/.cache/*.db", "/h/.cache/index.db.old", false},
                      KeepCase{"/h/.cache/a*b*c", "/h/.cache/aXbYbc", true},
                      KeepCase{"/h/.cache/a*b*c", "/h/.cache/aXcb", false},
                      KeepCase{"/h/.cache/*", "/h/.cache/x/y", true}));

// A folder is left out when something a rule names exists in it now: a pattern leaves out only
// the folders that hold a match, not every folder it could match in.
TEST(KeptPathsTest, AFolderIsTouchedWhenItHoldsWhatARuleNames) {
    testing::TemporaryDirectory folder;
    const auto cache = folder / "cache";
    testing::makeFile(cache / "a/sub/wichtig", 10);
    testing::makeFile(cache / "b/other", 10);
    fs::create_directories(folder / "elsewhere/sub/wichtig");
    testing::makeSymlink(folder / "elsewhere", cache / "c");
    const platform::KeptPaths kept(KeepList({(cache / "*/sub/wichtig").string()}));
    EXPECT_TRUE(kept.touches((cache / "a").string()));
    EXPECT_TRUE(kept.touches((cache / "a/sub").string()));
    EXPECT_TRUE(kept.touches((cache / "a/sub/wichtig").string()));
    EXPECT_FALSE(kept.touches((cache / "b").string()));
    EXPECT_FALSE(kept.touches((cache / "c").string())) << "a link is removed as itself";
    EXPECT_TRUE(kept.touches((cache / "c/sub/wichtig").string())) << "kept by name";
}

TEST(KeepListRuleTest, RefusesWhatNamesNoPlaceAndDropsItFromAList) {
    for (const char* bad : {"", "relative/path", "/", "//", "/h/../etc", "/h/./x"}) {
        EXPECT_TRUE(KeepList::ruleError(bad)) << bad;
    }
    const KeepList list({"/h/a", "relative", "/h/a/", "/h/b"});
    EXPECT_EQ(list.rules(), (std::vector<std::string>{"/h/a", "/h/b"}));
}

TEST(KeepListProtocolTest, TheHelperReadsTheRulesAndRefusesARequestWithOneItCannotRead) {
    HelperDeleteRequest request{.mode = DeletionMode::standard, .wishes = {}, .kept = {"/v/k"}};
    const auto decoded = decodeRequest(encodeRequest(request));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(std::get<HelperDeleteRequest>(decoded.value()).kept, request.kept);
    EXPECT_FALSE(decodeRequest(R"({"request":"delete","mode":"standard","wishes":[],)"
                               R"("kept":["relative"]})")
                     .ok());
}

class KeepListEngineTest : public ::testing::Test, protected testing::FakeLinuxSystem {
  protected:
    ScanResults scan() {
        std::optional<support::Result<ScanResults>> outcome;
        engine->scan(std::nullopt, {},
                     [&outcome](support::Result<ScanResults> results) { outcome = results; });
        runBoth();
        EXPECT_TRUE(outcome && outcome->ok());
        return outcome && outcome->ok() ? outcome->value() : ScanResults{};
    }

    static std::vector<fs::path> offered(const ScanResults& results) {
        std::vector<fs::path> paths;
        for (const auto& [id, items] : results) {
            for (const auto& item : items) {
                paths.push_back(item.url);
            }
        }
        return paths;
    }
};

// One kept file in a folder each module offers: every such folder is left out, its
// neighbours stay, and an old plan naming a folder that holds a kept path deletes nothing of it.
TEST_F(KeepListEngineTest, NoModuleOffersAndNoDeletionTouchesWhatIsKept) {
    const std::vector<fs::path> keptFolders{
        home / ".cache/editor",      home / ".local/state/editor",   system / "tmp/session",
        system / "var/crash/editor", home / ".var/app/org.gone.App", home / ".cache/fontconfig",
    };
    for (const auto& folder : keptFolders) {
        testing::makeFile(folder / "keep", 5000);
        testing::makeFile(folder / "drop.log", 5000);
    }
    testing::makeFile(home / ".cache/other/blob", 5000);
    testing::makeFile(system / "var/crash/other.crash", 5000);
    settings.setDeepScanEnabled(true);

    const ScanResults before = scan();
    CleanableItems plan;
    for (const auto& [id, items] : before) {
        plan.insert(plan.end(), items.begin(), items.end());
    }
    for (const auto& folder : keptFolders) {
        const auto path = folder / "keep";
        EXPECT_TRUE(std::ranges::any_of(
            offered(before),
            [&](const fs::path& url) {
                return platform::KeptPaths(KeepList({path.string()})).touches(url.native());
            }))
            << folder << " must be offered before it is kept";
        ASSERT_TRUE(settings.addKeptPath(path.string()).ok());
    }

    const auto after = offered(scan());
    EXPECT_TRUE(std::ranges::find(after, home / ".cache/other") != after.end());
    EXPECT_TRUE(std::ranges::find(after, system / "var/crash/other.crash") != after.end());
    const platform::KeptPaths kept(settings.keptPaths());
    for (const auto& url : after) {
        EXPECT_FALSE(kept.touches(url.native())) << url;
    }

    auto stream = engine->deleteItems(plan);
    testing::StreamRecording recording;
    testing::record(stream, main, recording);
    runBoth();
    EXPECT_TRUE(recording.endedNormally());
    for (const auto& folder : keptFolders) {
        EXPECT_TRUE(fs::exists(folder / "keep")) << folder;
    }
    EXPECT_FALSE(fs::exists(home / ".cache/other"));
}

TEST_F(KeepListEngineTest, AKeptPathSpelledThroughALinkIsKeptUnderEitherName) {
    testing::makeFile(system / "data/cache/editor/blob", 5000);
    fs::create_directories(home);
    testing::makeSymlink(system / "data/cache", home / ".cache");
    ASSERT_TRUE(settings.addKeptPath((system / "data/cache/editor").string()).ok());
    EXPECT_TRUE(offered(scan()).empty());
}

TEST_F(KeepListEngineTest, TheSettingsStoreTheRulesNormalisedAndRefuseBadOnes) {
    ASSERT_TRUE(settings.addKeptPath("/h/a//b/").ok());
    ASSERT_TRUE(settings.addKeptPath("/h/*.db").ok());
    EXPECT_FALSE(settings.addKeptPath("h/relative").ok());
    EXPECT_EQ(settings.defaults().value("quillo.keptPaths"),
              nlohmann::json::parse(R"(["/h/a/b","/h/*.db"])"));
    settings.removeKeptPath("/h/a/b");
    EXPECT_EQ(settings.keptPaths().rules(), (std::vector<std::string>{"/h/*.db"}));
}

}  // namespace
}  // namespace quillo
