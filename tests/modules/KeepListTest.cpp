#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "helper/HelperProtocol.h"
#include "helper/HelperService.h"
#include "model/KeepList.h"
#include "modules/EngineTestSupport.h"
#include "modules/FakeLinuxSystem.h"
#include "platform/KeptPaths.h"
#include "support/Alternatives.h"
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

// The helper takes the rules as sent: a wish for a folder that holds a kept path fails by itself.
TEST(KeepListHelperTest, TheHelperDeletesNothingTheSentRulesKeep) {
    testing::TemporaryDirectory folder;
    const auto tmp = folder / "system/var/tmp";
    testing::makeFile(tmp / "box/keep", 4096);
    testing::makeFile(tmp / "other", 4096);
    auto work = std::make_shared<support::ManualExecutor>();
    std::vector<HelperMessage> messages;
    auto service = HelperService::create(
        testing::fakeModuleServices(work, linuxSystemLocations(folder / "system"),
                                    ReceiptStore::InMemory{}),
        [&messages](const HelperMessage& message) { messages.push_back(message); });
    const HelperWish box{Uuid::random(), CleaningModuleID::tempFiles, (tmp / "box").string()};
    const HelperWish other{Uuid::random(), CleaningModuleID::tempFiles, (tmp / "other").string()};
    service->answer(encodeRequest(HelperDeleteRequest{.mode = DeletionMode::standard,
                                                      .wishes = {box, other},
                                                      .kept = {(tmp / "box/keep").string()}}),
                    [] {});
    work->runAll();
    EXPECT_TRUE(fs::exists(tmp / "box/keep"));
    EXPECT_FALSE(fs::exists(tmp / "other"));
    const auto failed = testing::alternativesOf<FailedFileRecord>(messages);
    ASSERT_EQ(failed.size(), 1U);
    EXPECT_EQ(failed.front().id, box.id);
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

// One kept path per module, inside a folder it offers or as a file it offers, each beside a
// neighbour that stays offered: nothing kept is offered, and an older list that names the kept
// paths or their folders deletes nothing of them.
TEST_F(KeepListEngineTest, NoModuleOffersAndNoDeletionTouchesWhatIsKept) {
    const std::vector<std::pair<fs::path, fs::path>> keptBesideOffered{
        {home / ".cache/editor/keep.log", home / ".cache/other"},
        {home / ".local/state/editor/keep.log", home / ".local/state/editor/drop.log"},
        {system / "tmp/session/keep.log", system / "tmp/session/drop.log"},
        {system / "var/crash/keep.crash", system / "var/crash/other.crash"},
        {home / ".var/app/org.gone.App/keep.log", home / ".var/app/org.gone.Other"},
        {home / ".cache/fontconfig/keep.log", system / "var/cache/fontconfig"},
    };
    // A neighbour that is a folder is offered as one; its file tells whether it went.
    const auto fileOf = [&](const fs::path& neighbour) {
        const bool isFile = neighbour.extension() == ".log" || neighbour.extension() == ".crash";
        return isFile ? neighbour : neighbour / "blob";
    };
    for (const auto& [keptPath, neighbour] : keptBesideOffered) {
        testing::makeFile(keptPath, 5000);
        testing::makeFile(fileOf(neighbour), 5000);
    }
    settings.setDeepScanEnabled(true);

    const ScanResults before = scan();
    CleanableItems plan;
    for (const auto& [id, items] : before) {
        plan.insert(plan.end(), items.begin(), items.end());
    }
    for (const auto& keptAndNeighbour : keptBesideOffered) {
        const fs::path& keptPath = keptAndNeighbour.first;
        const platform::KeptPaths keeping(KeepList({keptPath.string()}));
        EXPECT_TRUE(std::ranges::any_of(offered(before),
                                        [&](const fs::path& url) { return keeping.touches(url); }))
            << keptPath << " must be offered before it is kept";
        ASSERT_TRUE(settings.addKeptPath(keptPath.string()).ok());
    }

    const auto after = offered(scan());
    const platform::KeptPaths kept(settings.keptPaths());
    for (const auto& url : after) {
        EXPECT_FALSE(kept.touches(url)) << url;
    }
    for (const auto& [keptPath, neighbour] : keptBesideOffered) {
        EXPECT_TRUE(std::ranges::find(after, neighbour) != after.end()) << neighbour;
    }

    auto stream = engine->deleteItems(plan);
    testing::StreamRecording recording;
    testing::record(stream, main, recording);
    runBoth();
    EXPECT_TRUE(recording.endedNormally());
    for (const auto& [keptPath, neighbour] : keptBesideOffered) {
        EXPECT_TRUE(fs::exists(keptPath)) << keptPath;
        EXPECT_FALSE(fs::exists(fileOf(neighbour))) << neighbour;
    }
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
