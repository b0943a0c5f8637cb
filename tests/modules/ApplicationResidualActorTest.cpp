#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "modules/ApplicationResidualActor.h"
#include "modules/FileModuleTestSupport.h"
#include "modules/FilesystemEnumeration.h"
#include "platform/AppIdentity.h"
#include "support/Outcomes.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TemporaryDirectory;
using Names = std::vector<std::string>;
using Warnings = std::vector<CleanableItemWarning>;

TEST(ResidualCandidateTest, BundleIdentifiersNeedAFullStopAndNoSpace) {
    for (const auto* name : {"org.vendor.tool", "com.vendor", "Some.App", "a.", "x..y", "1.2"}) {
        EXPECT_TRUE(isResidualCandidate(name, ResidualNameRule::bundleIdentifier)) << name;
    }
    for (const auto* name : {"Quillo", "Some App.support", ".org.vendor.tool", "org.vendor tool",
                             "", "CrashReporter"}) {
        EXPECT_FALSE(isResidualCandidate(name, ResidualNameRule::bundleIdentifier)) << name;
    }
}

TEST(ResidualCandidateTest, ApplicationIDsNeedThreeComponentsTheFirstAlphabetic) {
    for (const auto* name : {"org.vendor.tool", "org.vendor.Tool_2", "io.git-hub.my-app",
                             "com.maker.Suite.Editor", "org.1vendor.x"}) {
        EXPECT_TRUE(isResidualCandidate(name, ResidualNameRule::applicationID)) << name;
    }
    for (const auto* name :
         {"gtk-3.0", "org.vendor", "user-dirs.dirs", "1org.vendor.tool", "org-x.vendor.tool",
          "org_x.vendor.tool", "org..tool", "org.vendor.tool.", ".org.vendor.tool",
          "org.vendor.to ol", "org.vendor.tööl", "org.vendor.tool+", ""}) {
        EXPECT_FALSE(isResidualCandidate(name, ResidualNameRule::applicationID)) << name;
    }
}

/// Stands in for the installed-application lookup: answers later on the module's executor, or
/// holds every answer until the test gives it.
class FakeInstalledApplications {
  public:
    explicit FakeInstalledApplications(std::shared_ptr<support::ManualExecutor> executor)
        : executor_(std::move(executor)) {}

    platform::InstalledApplicationCheck check() {
        return [this](const std::string& identifier, std::function<void(bool)> answer) {
            questions.push_back(identifier);
            if (holdAnswers) {
                held.push_back(std::move(answer));
                return;
            }
            const bool isInstalled = installed.contains(identifier);
            executor_->post([answer = std::move(answer), isInstalled] { answer(isInstalled); });
        };
    }

    /// Gives the oldest held answer.
    void answerNext(bool isInstalled) {
        ASSERT_FALSE(held.empty()) << "no question is waiting";
        auto answer = std::move(held.front());
        held.erase(held.begin());
        answer(isInstalled);
    }

    std::set<std::string> installed;
    bool holdAnswers = false;
    Names questions;
    std::vector<std::function<void(bool)>> held;

  private:
    std::shared_ptr<support::ManualExecutor> executor_;
};

class ApplicationResidualActorTest : public ::testing::Test, protected testing::FileModuleFixture {
  protected:
    std::shared_ptr<ApplicationResidualActor> makeModule(
        std::vector<ResidualRoot> roots, std::shared_ptr<SecureDeletionService> service = nullptr) {
        return std::make_shared<ApplicationResidualActor>(std::move(roots), registry.check(),
                                                          std::move(service), environment());
    }

    CleanableItems scanned() { return scannedItems(*module); }

    /// A folder holding one file of `bytes`.
    static void makeDataFolder(const std::filesystem::path& folder, std::size_t bytes = 10'000) {
        testing::makeFile(folder / "data", bytes);
    }

    TemporaryDirectory folder;
    std::filesystem::path applicationSupport = folder / "home/Library/Application Support";
    FakeInstalledApplications registry{executor};
    std::shared_ptr<ApplicationResidualActor> module =
        makeModule({ResidualRoot{.url = applicationSupport}});
};

TEST_F(ApplicationResidualActorTest, OffersTheFolderOfAnApplicationThatIsGone) {
    makeDataFolder(applicationSupport / "org.vendor.tool", 10'000'000);
    const auto items = scanned();

    ASSERT_EQ(items.size(), 1U);
    const auto entry = makeEntry(applicationSupport / "org.vendor.tool");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(items[0].url, applicationSupport / "org.vendor.tool");
    EXPECT_EQ(items[0].displayName, "org.vendor.tool");
    EXPECT_EQ(items[0].sizeInBytes, entry->sizeInBytes);
    EXPECT_GE(items[0].sizeInBytes, 10'000'000);
    EXPECT_EQ(items[0].lastModified, entry->lastModified);
    EXPECT_EQ(items[0].moduleID, CleaningModuleID::applicationResidual);
    EXPECT_THAT(items[0].warnings, IsEmpty());
    EXPECT_TRUE(items[0].isSafeToDeleteByDefault);
    EXPECT_THAT(registry.questions, ElementsAre("org.vendor.tool"));
}

TEST_F(ApplicationResidualActorTest, OnlyCandidateNamesAreAskedAbout) {
    makeDataFolder(applicationSupport / "Some App.support");
    makeDataFolder(applicationSupport / "Quillo");
    makeDataFolder(applicationSupport / ".org.hidden.tool");
    makeDataFolder(applicationSupport / platform::kApplicationIdentifier);
    makeDataFolder(applicationSupport / "com.vendor");
    EXPECT_THAT(testing::displayNamesOf(scanned()), ElementsAre("com.vendor"));
    EXPECT_THAT(registry.questions, ElementsAre("com.vendor"));
}

TEST_F(ApplicationResidualActorTest, OnlyFoldersWithContentsAreOffered) {
    testing::makeFile(applicationSupport / "org.vendor.settings", 5'000);
    std::filesystem::create_directories(applicationSupport / "org.vendor.empty/a/b");
    testing::makeFile(applicationSupport / "org.vendor.hidden/.data", 5'000);
    testing::makeFile(applicationSupport / "org.vendor.zero/data", 0);
    // A long target gives the link a block of its own, so only its kind keeps it out.
    const auto outside = folder / std::string(150, 'o');
    makeDataFolder(outside);
    testing::makeSymlink(outside, applicationSupport / "org.vendor.link");
    makeDataFolder(applicationSupport / "org.vendor.real");

    EXPECT_THAT(testing::displayNamesOf(scanned()), ElementsAre("org.vendor.real"));
    EXPECT_TRUE(std::filesystem::exists(outside / "data"));
}

TEST_F(ApplicationResidualActorTest, RootsComeInTheirOrderEachSortedByName) {
    const auto second = folder / "second";
    for (const auto* name : {"org.b.z", "com.a.y", "Com.c.x"}) {
        makeDataFolder(second / name);
    }
    makeDataFolder(applicationSupport / "zz.last.root");
    module = makeModule({ResidualRoot{.url = folder / "missing"},
                         ResidualRoot{.url = applicationSupport},
                         ResidualRoot{.url = applicationSupport / "zz.last.root/data"},
                         ResidualRoot{.url = second}});
    EXPECT_THAT(testing::displayNamesOf(scanned()),
                ElementsAre("zz.last.root", "Com.c.x", "com.a.y", "org.b.z"));
    EXPECT_THAT(registry.questions, ElementsAre("zz.last.root", "Com.c.x", "com.a.y", "org.b.z"));
}

TEST_F(ApplicationResidualActorTest, LinuxRootsOfferApplicationIDsPreselectedOnlyFromFlatpak) {
    const auto home = folder / "home";
    const auto flatpakData = home / ".var/app";
    const auto config = home / ".config";
    const auto data = home / ".local/share";
    makeDataFolder(flatpakData / "org.vendor.Viewer");
    makeDataFolder(flatpakData / "org.vendor.Kept");
    makeDataFolder(config / "gtk-3.0");
    makeDataFolder(config / "org.vendor");
    makeDataFolder(config / "org.vendor.Editor");
    makeDataFolder(config / platform::kApplicationIdentifier);
    testing::makeFile(config / "user-dirs.dirs", 300);
    makeDataFolder(data / "1org.vendor.tool");
    makeDataFolder(data / "com.maker.Gone");
    makeDataFolder(data / "org.vendor.Kept");
    registry.installed = {"org.vendor.Kept"};
    module = makeModule({
        ResidualRoot{.url = flatpakData, .nameRule = ResidualNameRule::applicationID},
        ResidualRoot{.url = config,
                     .nameRule = ResidualNameRule::applicationID,
                     .isSafeToDeleteByDefault = false},
        ResidualRoot{.url = data,
                     .nameRule = ResidualNameRule::applicationID,
                     .isSafeToDeleteByDefault = false},
    });

    const auto items = scanned();
    ASSERT_THAT(testing::displayNamesOf(items),
                ElementsAre("org.vendor.Viewer", "org.vendor.Editor", "com.maker.Gone"));
    EXPECT_EQ(items[0].url, flatpakData / "org.vendor.Viewer");
    EXPECT_TRUE(items[0].isSafeToDeleteByDefault);
    EXPECT_EQ(items[1].url, config / "org.vendor.Editor");
    EXPECT_FALSE(items[1].isSafeToDeleteByDefault);
    EXPECT_EQ(items[2].url, data / "com.maker.Gone");
    EXPECT_FALSE(items[2].isSafeToDeleteByDefault);
    EXPECT_THAT(registry.questions,
                ElementsAre("org.vendor.Kept", "org.vendor.Viewer", "org.vendor.Editor",
                            "com.maker.Gone", "org.vendor.Kept"));
}

TEST_F(ApplicationResidualActorTest, AsksOneQuestionAtATime) {
    for (const auto* name : {"org.a.one", "org.a.two", "org.a.three"}) {
        makeDataFolder(applicationSupport / name);
    }
    registry.holdAnswers = true;
    std::optional<support::Result<CleanableItems>> outcome;
    module->scan({}, [&](support::Result<CleanableItems> items) { outcome = std::move(items); });

    for (const auto* expected : {"org.a.one", "org.a.three", "org.a.two"}) {
        runUntilIdle();
        ASSERT_EQ(registry.held.size(), 1U);
        EXPECT_EQ(registry.questions.back(), expected);
        EXPECT_FALSE(outcome.has_value());
        registry.answerNext(std::string(expected) == "org.a.three");
    }
    runUntilIdle();
    ASSERT_TRUE(testing::succeeded(outcome));
    EXPECT_THAT(testing::displayNamesOf(outcome->value()), ElementsAre("org.a.one", "org.a.two"));
    EXPECT_EQ(registry.questions.size(), 3U);
}

TEST_F(ApplicationResidualActorTest, CancellingWhileAQuestionIsOpenDiscardsTheItemsFound) {
    makeDataFolder(applicationSupport / "org.a.one");
    makeDataFolder(applicationSupport / "org.a.two");
    makeDataFolder(applicationSupport / "org.a.three");
    registry.holdAnswers = true;
    support::CancellationSource source;
    std::optional<support::Result<CleanableItems>> outcome;
    module->scan(source.token(),
                 [&](support::Result<CleanableItems> items) { outcome = std::move(items); });
    runUntilIdle();
    registry.answerNext(false);
    runUntilIdle();
    ASSERT_EQ(registry.held.size(), 1U);

    source.cancel();
    registry.answerNext(false);
    runUntilIdle();
    EXPECT_TRUE(testing::cancelled(outcome));
    EXPECT_EQ(registry.questions.size(), 2U);
}

}  // namespace
}  // namespace quillo
