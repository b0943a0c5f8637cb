#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/InstalledApplications.h"
#include "support/ManualSleeper.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using namespace std::chrono_literals;
using quillo::testing::TemporaryDirectory;
using ::testing::ElementsAre;
using Paths = std::vector<std::filesystem::path>;

// Only guards against a hang; the fake tool answers in milliseconds.
constexpr auto kHangGuard = 30s;

TEST(ApplicationIDTest, FollowsFlatpaksRule) {
    for (const auto* name : {"org.vendor.tool", "org.vendor.Tool_2", "io.git-hub.my-app",
                             "com.maker.Suite.Editor", "org.1vendor.x", "Org.V.T"}) {
        EXPECT_TRUE(isApplicationID(name)) << name;
    }
    for (const auto* name :
         {"gtk-3.0", "org.vendor", "tool", "1org.vendor.tool", "org-x.vendor.tool",
          "org.vendor..tool", ".org.vendor.tool", "org.vendor.tool.", "org.ven dor.tool",
          "org.vendor/x.tool", "-org.vendor.tool", "org.vendor.tool\n", ""}) {
        EXPECT_FALSE(isApplicationID(name)) << name;
    }
}

EnvironmentLookup fakeEnvironment(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
}

TEST(DefaultInstalledApplicationSourcesTest, AreTheXDGFoldersAndTheFlatpakExports) {
    const Paths defaults{"/h/.local/share/applications", "/usr/local/share/applications",
                         "/usr/share/applications",
                         "/h/.local/share/flatpak/exports/share/applications",
                         "/var/lib/flatpak/exports/share/applications"};
    // Relative folders are skipped, and an empty data-dirs list means the defaults.
    const std::vector<std::pair<std::map<std::string, std::string>, Paths>> cases{
        {{{"HOME", "/h"}}, defaults},
        {{{"HOME", "/h"}, {"XDG_DATA_HOME", "/d"}, {"XDG_DATA_DIRS", "/x::relative/y:/z/"}},
         {"/d/applications", "/x/applications", "/z/applications",
          "/d/flatpak/exports/share/applications", "/var/lib/flatpak/exports/share/applications"}},
        {{{"HOME", "/h"}, {"XDG_DATA_HOME", "relative"}, {"XDG_DATA_DIRS", ""}}, defaults},
    };
    for (const auto& [variables, folders] : cases) {
        const auto sources = defaultInstalledApplicationSources(fakeEnvironment(variables));
        EXPECT_EQ(sources.desktopEntryFolders, folders) << ::testing::PrintToString(variables);
        EXPECT_EQ(sources.flatpakTool, "/usr/bin/flatpak");
    }
}

/// Fulfils its promise when it is destroyed.
class ReleaseGuard final {
  public:
    explicit ReleaseGuard(std::shared_ptr<std::promise<void>> released)
        : released_(std::move(released)) {}
    ReleaseGuard(const ReleaseGuard&) = delete;
    ReleaseGuard& operator=(const ReleaseGuard&) = delete;
    ~ReleaseGuard() { released_->set_value(); }

  private:
    std::shared_ptr<std::promise<void>> released_;
};

class InstalledApplicationsTest : public ::testing::Test {
  protected:
    /// The answer of the check for `identifier`; nothing when none came in time.
    std::optional<bool> ask(const std::string& identifier) {
        auto promise = std::make_shared<std::promise<bool>>();
        auto answer = promise->get_future();
        installedApplicationCheck(sources, sleeper)(
            identifier, [promise](bool installed) { promise->set_value(installed); });
        if (answer.wait_for(kHangGuard) != std::future_status::ready) {
            return std::nullopt;
        }
        return answer.get();
    }

    /// A fake tool that writes its arguments to `log` and then runs `body`.
    void installTool(const std::string& body) {
        std::ofstream(tool) << "#!/bin/sh\necho \"$@\" >> '" << log.string() << "'\n"
                            << body << "\n";
        std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    }

    /// Every argument line the fake tool was started with.
    [[nodiscard]] std::vector<std::string> toolCalls() const {
        std::vector<std::string> calls;
        std::ifstream input(log);
        for (std::string line; std::getline(input, line);) {
            calls.push_back(line);
        }
        return calls;
    }

    TemporaryDirectory folder;
    std::filesystem::path userEntries = folder / "home/.local/share/applications";
    std::filesystem::path systemEntries = folder / "usr/share/applications";
    std::filesystem::path flatpakEntries = folder / "var/lib/flatpak/exports/share/applications";
    std::filesystem::path tool = folder / "flatpak";
    std::filesystem::path log = folder / "tool.log";
    std::shared_ptr<quillo::testing::ManualSleeper> sleeper =
        std::make_shared<quillo::testing::ManualSleeper>();
    InstalledApplicationSources sources{
        .desktopEntryFolders = {userEntries, systemEntries, flatpakEntries},
        .flatpakTool = tool,
        .toolDeadline = 3s,
    };
};

TEST_F(InstalledApplicationsTest, ADesktopEntryInAnyFolderMeansInstalled) {
    quillo::testing::makeFile(userEntries / "org.vendor.Mine.desktop", 100);
    quillo::testing::makeFile(systemEntries / "org.vendor.Shared.desktop", 100);
    quillo::testing::makeFile(folder / "app/org.vendor.Boxed/export.desktop", 100);
    std::filesystem::create_directories(flatpakEntries);
    quillo::testing::makeSymlink(folder / "app/org.vendor.Boxed/export.desktop",
                                 flatpakEntries / "org.vendor.Boxed.desktop");
    installTool("exit 1");

    for (const auto* identifier : {"org.vendor.Mine", "org.vendor.Shared", "org.vendor.Boxed"}) {
        EXPECT_EQ(ask(identifier), true) << identifier;
    }
    EXPECT_TRUE(toolCalls().empty());
    EXPECT_EQ(sleeper->pendingCount(), 0U);
}

TEST_F(InstalledApplicationsTest, EntriesOfOtherNamesOrKindsDoNotCount) {
    quillo::testing::makeFile(userEntries / "org.vendor.other.desktop", 100);
    quillo::testing::makeFile(userEntries / "org.vendor.tool", 100);
    quillo::testing::makeFile(userEntries / "org.vendor.Tool.desktop", 100);
    std::filesystem::create_directories(systemEntries / "org.vendor.tool.desktop");
    std::filesystem::create_directories(flatpakEntries);
    quillo::testing::makeSymlink(folder / "uninstalled.desktop",
                                 flatpakEntries / "org.vendor.tool.desktop");
    EXPECT_FALSE(hasDesktopEntry(sources.desktopEntryFolders, "org.vendor.tool"));
    EXPECT_FALSE(hasDesktopEntry(sources.desktopEntryFolders, ""));
    quillo::testing::makeFile(folder / "home/.local/share/x.desktop", 100);
    EXPECT_FALSE(hasDesktopEntry(sources.desktopEntryFolders, "../x"));
}

TEST_F(InstalledApplicationsTest, WithoutAnEntryTheFlatpakToolDecides) {
    installTool("[ \"$2\" = org.vendor.Boxed ]");
    EXPECT_EQ(ask("org.vendor.Boxed"), true);
    EXPECT_EQ(ask("org.vendor.Gone"), false);
    EXPECT_THAT(toolCalls(), ElementsAre("info org.vendor.Boxed", "info org.vendor.Gone"));
    // The answer ended each deadline.
    EXPECT_EQ(sleeper->pendingCount(), 0U);
    EXPECT_THAT(sleeper->requestedDurations(), ElementsAre(3s, 3s));
}

TEST_F(InstalledApplicationsTest, OnlyApplicationIDsAreHandedToTheTool) {
    installTool("exit 0");
    EXPECT_EQ(ask("-org.vendor.tool"), false);
    EXPECT_EQ(ask("com.vendor"), false);
    EXPECT_TRUE(toolCalls().empty());
}

TEST_F(InstalledApplicationsTest, AMissingOrUnstartableToolIsNoAnswer) {
    EXPECT_EQ(ask("org.vendor.tool"), false);
    sources.flatpakTool.clear();
    EXPECT_EQ(ask("org.vendor.tool"), false);
    // Exists, but cannot be started.
    sources.flatpakTool = folder / "not-executable";
    quillo::testing::makeFile(sources.flatpakTool, 10);
    EXPECT_EQ(ask("org.vendor.tool"), false);
    EXPECT_EQ(sleeper->pendingCount(), 0U);
}

TEST_F(InstalledApplicationsTest, AToolThatDoesNotAnswerInTimeCountsAsInstalled) {
    // The tool waits until the test writes into its pipe.
    const auto release = folder / "release";
    ASSERT_EQ(::mkfifo(release.c_str(), 0600), 0);
    installTool("read line < '" + release.string() + "'\nexit 1");

    auto answers = std::make_shared<std::vector<bool>>();
    auto firstAnswer = std::make_shared<std::promise<void>>();
    // Fulfilled once nothing holds the answer any more: the tool's late outcome has been handled.
    auto released = std::make_shared<std::promise<void>>();
    auto answerReleased = released->get_future();
    installedApplicationCheck(sources, sleeper)(
        "org.vendor.tool",
        [answers, firstAnswer, guard = std::make_shared<ReleaseGuard>(released)](bool installed) {
            answers->push_back(installed);
            if (answers->size() == 1) {
                firstAnswer->set_value();
            }
        });
    ASSERT_EQ(sleeper->pendingCount(), 1U);
    sleeper->elapseAll();
    ASSERT_EQ(firstAnswer->get_future().wait_for(0s), std::future_status::ready);

    // Opened for reading too, so that opening never waits for a tool that never started; the
    // line stays in the pipe until the tool reads it.
    const int writer = ::open(release.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "\n", 1), 1);
    const std::future_status outcome = answerReleased.wait_for(kHangGuard);
    ::close(writer);
    ASSERT_EQ(outcome, std::future_status::ready);
    EXPECT_THAT(*answers, ElementsAre(true));
}

}  // namespace
}  // namespace quillo::platform
