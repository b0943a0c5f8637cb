#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "modules/FilesystemEnumeration.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"
#include "uninstall/PlanBuilding.h"
#include "uninstall/UninstallHarness.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using testing::makeFile;
using testing::PlistEncoding;

constexpr const char* kID = "com.example.Notes";

std::vector<fs::path> urlsOf(const UninstallPlan& plan) {
    std::vector<fs::path> urls;
    for (const auto& item : plan.items) {
        urls.push_back(item.url);
    }
    return urls;
}

class UninstallPlanTest : public ::testing::Test {
  protected:
    fs::path notes(PlistEncoding encoding = PlistEncoding::xml) {
        return harness.makeBundle(
            "Notes.app", {{"CFBundleIdentifier", kID}, {"CFBundleName", "Notes"}}, encoding);
    }
    [[nodiscard]] fs::path library() const { return harness.library(); }

    testing::UninstallHarness harness;
};

TEST_F(UninstallPlanTest, TheBundleComesFirstSizedWholeIrreversibleAndSafe) {
    const auto bundle = notes(PlistEncoding::binary);
    makeFile(bundle / "Contents" / "Resources" / "big.bin", 100'000);

    const auto plan = harness.plan(bundle);

    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->appURL, bundle);
    EXPECT_EQ(plan->bundleID, kID);
    EXPECT_EQ(plan->displayName, "Notes");
    ASSERT_EQ(plan->items.size(), 1U);
    const auto& item = plan->items.front();
    EXPECT_EQ(item.url, bundle);
    EXPECT_EQ(item.displayName, "Notes.app");
    EXPECT_EQ(item.sizeInBytes, directorySize(bundle));
    EXPECT_GE(item.sizeInBytes, 100'000);
    EXPECT_EQ(item.moduleID, CleaningModuleID::applicationResidual);
    EXPECT_EQ(item.warnings, std::vector{CleanableItemWarning::irreversible});
    EXPECT_TRUE(item.isSafeToDeleteByDefault);
}

TEST_F(UninstallPlanTest, OnlyAnAppFolderWithAnIdentifierInItsListHasAPlan) {
    EXPECT_TRUE(harness.plan(harness.makeBundle("Upper.APP", {{"CFBundleIdentifier", kID}})));
    for (const auto* name : {"Notes.zip", "Notes"}) {
        EXPECT_FALSE(harness.plan(harness.makeBundle(name, {{"CFBundleIdentifier", kID}}))) << name;
    }
    EXPECT_FALSE(harness.plan(harness.makeBundle("Anon.app", {{"CFBundleName", "Anon"}})));
    fs::create_directories(harness.folder / "Applications" / "Empty.app");
    EXPECT_FALSE(harness.plan(harness.folder / "Applications" / "Empty.app"));
}
TEST_F(UninstallPlanTest, WithoutNamesTheFileNameNamesTheApplication) {
    const auto bundle = harness.makeBundle("Quiet Tool.app", {{"CFBundleIdentifier", kID}});
    makeFile(library() / "Caches" / "Quiet Tool" / "cache.db", 10);

    const auto plan = harness.plan(bundle);

    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->displayName, "Quiet Tool");
    EXPECT_EQ(plan->items.front().displayName, "Quiet Tool.app");
    EXPECT_EQ(urlsOf(*plan).back(), library() / "Caches" / "Quiet Tool");
}

TEST_F(UninstallPlanTest, ResiduesFollowInTheOrderOfTheCandidateTable) {
    const auto bundle = notes();
    const std::string id = kID;
    const std::vector<fs::path> expected{
        bundle,
        library() / "Application Support" / id,
        library() / "Caches" / id,
        library() / "Containers" / id,
        library() / "HTTPStorages" / id,
        library() / "WebKit" / id,
        library() / "Logs" / id,
        library() / "Application Scripts" / id,
        library() / "Application Support" / "Notes",
        library() / "Caches" / "Notes",
        library() / "Logs" / "Notes",
        library() / "Preferences" / (id + ".plist"),
        library() / "Preferences" / (id + ".helper.plist"),
        library() / "Saved Application State" / (id + ".savedState"),
        library() / "Cookies" / (id + ".binarycookies"),
        library() / "HTTPStorages" / (id + ".binarycookies"),
        library() / "LaunchAgents" / (id + ".plist"),
        harness.systemLibrary / "LaunchAgents" / (id + ".plist"),
        harness.systemLibrary / "LaunchDaemons" / (id + ".plist"),
        library() / "Preferences" / "ByHost" / (id + ".0A1B2C.plist"),
        library() / "Group Containers" / ("TEAM42." + id),
    };
    // Any non-empty file or folder will do; the folders of the table are files here.
    for (auto place = expected.begin() + 1; place != expected.end(); ++place) {
        makeFile(*place, 1);
    }

    const auto plan = harness.plan(bundle);

    ASSERT_TRUE(plan);
    EXPECT_EQ(urlsOf(*plan), expected);
    EXPECT_TRUE(std::all_of(plan->items.begin() + 1, plan->items.end(), [](const auto& item) {
        return item.warnings.empty() && item.isSafeToDeleteByDefault &&
               item.moduleID == CleaningModuleID::applicationResidual;
    }));
}

TEST_F(UninstallPlanTest, ByHostMatchesPlainPrefixesAndGroupContainersPlainSuffixes) {
    const auto bundle = notes();
    const auto byHost = library() / "Preferences" / "ByHost";
    const auto groups = library() / "Group Containers";
    for (const auto* name : {"com.example.Notes.ABC.plist", "com.example.NotesPro.plist",
                             "org.com.example.Notes.plist", ".com.example.Notes.hidden"}) {
        makeFile(byHost / name, 1);
    }
    for (const auto* name : {"TEAM.com.example.Notes", "com.example.Notes",
                             "com.example.Notes.extra", ".TEAM.com.example.Notes"}) {
        makeFile(groups / name / "data", 1);
    }

    const auto urls = urlsOf(*harness.plan(bundle));

    auto offered = [&](const fs::path& path) {
        return std::find(urls.begin(), urls.end(), path) != urls.end();
    };
    EXPECT_TRUE(offered(byHost / "com.example.Notes.ABC.plist"));
    EXPECT_TRUE(offered(byHost / "com.example.NotesPro.plist"));
    EXPECT_FALSE(offered(byHost / "org.com.example.Notes.plist"));
    EXPECT_FALSE(offered(byHost / ".com.example.Notes.hidden"));
    EXPECT_TRUE(offered(groups / "TEAM.com.example.Notes"));
    EXPECT_TRUE(offered(groups / "com.example.Notes"));
    EXPECT_FALSE(offered(groups / "com.example.Notes.extra"));
    EXPECT_FALSE(offered(groups / ".TEAM.com.example.Notes"));
    EXPECT_EQ(urls.size(), 5U);
}

TEST_F(UninstallPlanTest, EmptyResiduesAreLeftOutAndAOneBytePreferenceFileIsOffered) {
    const auto bundle = notes();
    fs::create_directories(library() / "Caches" / kID);
    makeFile(library() / "Logs" / kID / "empty.log", 0);
    makeFile(library() / "Preferences" / "com.example.Notes.helper.plist", 0);
    testing::writeTextFile(library() / "Preferences" / "com.example.Notes.plist", "x");

    const auto plan = harness.plan(bundle);

    ASSERT_EQ(urlsOf(*plan), (std::vector<fs::path>{
                                 bundle, library() / "Preferences" / "com.example.Notes.plist"}));
    EXPECT_GE(plan->items.back().sizeInBytes, 1);
}

TEST_F(UninstallPlanTest, PlacesUnderHomeShowWithATildeAndSystemPlacesInFull) {
    const auto bundle = notes();
    makeFile(library() / "Caches" / kID / "db", 10);
    makeFile(harness.systemLibrary / "LaunchDaemons" / "com.example.Notes.plist", 10);

    const auto plan = harness.plan(bundle);

    ASSERT_EQ(plan->items.size(), 3U);
    EXPECT_EQ(plan->items[1].displayName, "~/Library/Caches/com.example.Notes");
    EXPECT_EQ(plan->items[2].displayName,
              (harness.systemLibrary / "LaunchDaemons" / "com.example.Notes.plist").native());
}

TEST(HomeAbbreviationTest, OnlyWholeLeadingComponentsOfTheHomeFolderBecomeATilde) {
    EXPECT_EQ(homeAbbreviatedPath("/home/anna/Library/Caches/x", "/home/anna/"),
              "~/Library/Caches/x");
    EXPECT_EQ(homeAbbreviatedPath("/home/anna", "/home/anna"), "~");
    EXPECT_EQ(homeAbbreviatedPath("/home/annabel/Library/x", "/home/anna"),
              "/home/annabel/Library/x");
    EXPECT_EQ(homeAbbreviatedPath("/Library/LaunchDaemons/x.plist", "/"),
              "/Library/LaunchDaemons/x.plist");
}

TEST_F(UninstallPlanTest, ACandidateThatIsTheBundleItselfIsNotOfferedTwice) {
    const auto bundle = library() / "Application Support" / "Helper.app";
    testing::makeFakeBundle(bundle, {{"CFBundleIdentifier", kID}, {"CFBundleName", "Helper.app"}});

    const auto plan = harness.plan(bundle);

    EXPECT_EQ(urlsOf(*plan), std::vector<fs::path>{bundle});
}

class HostileBundleTest : public UninstallPlanTest {
  protected:
    /// Residues every row could reach if the values were used as they stand.
    void fillLibrary() const {
        for (const auto* folder : {"Application Support", "Caches", "Logs", "Containers"}) {
            makeFile(library() / folder / "someone.else" / "data", 10);
        }
        makeFile(library() / "Preferences" / "ByHost" / "other.app.plist", 10);
        makeFile(library() / "Group Containers" / "TEAM.other" / "data", 10);
        makeFile(harness.folder / "outside" / "data", 10);
        makeFile(library() / "Caches" / "com.example.Notes" / "db", 10);
    }
};

TEST_F(HostileBundleTest, AHostileDisplayNameDropsOnlyTheRowsBuiltFromIt) {
    fillLibrary();
    for (const auto* name : {"..", ".", "../../outside", "Caches/../..", "bad\n/name"}) {
        const auto bundle = harness.makeBundle(
            "Notes.app", {{"CFBundleIdentifier", kID}, {"CFBundleDisplayName", name}});
        const auto plan = harness.plan(bundle);
        ASSERT_TRUE(plan) << name;
        EXPECT_EQ(plan->displayName, name);
        EXPECT_EQ(urlsOf(*plan), (std::vector<fs::path>{bundle, library() / "Caches" / kID}))
            << name;
    }
}

TEST_F(HostileBundleTest, AHostileOrEmptyIdentifierProducesNoResidueAtAll) {
    fillLibrary();
    for (const std::string id : {"", "..", ".", "../../outside", "Caches/..", "someone.else/"}) {
        const auto bundle =
            harness.makeBundle("Notes.app", {{"CFBundleIdentifier", id}, {"CFBundleName", "Zz"}});
        const auto plan = harness.plan(bundle);
        ASSERT_TRUE(plan) << id;
        EXPECT_EQ(plan->bundleID, id);
        EXPECT_EQ(urlsOf(*plan), std::vector<fs::path>{bundle}) << id;
    }
}

TEST_F(HostileBundleTest, AnIdentifierWithANulByteIsNeverCutShortIntoAnotherName) {
    fillLibrary();
    const auto bundle = harness.folder / "Applications" / "Notes.app";
    testing::writeTextFile(bundle / "Contents" / "Info.plist",
                           std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                       "<key>CFBundleIdentifier</key><string>com.example.Notes") +
                               '\0' + "x</string></dict></plist>");
    const auto plan = harness.plan(bundle);
    ASSERT_TRUE(plan);
    EXPECT_EQ(urlsOf(*plan), std::vector<fs::path>{bundle});
}

}  // namespace
}  // namespace quillo
