#include <gtest/gtest.h>

#include <future>

#include "platform/FlatpakInstallations.h"
#include "platform/PackageError.h"
#include "support/FakeFlatpak.h"
#include "support/ManualExecutor.h"
#include "support/ManualSleeper.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"
#include "uninstall/AppUninstallService.h"
#include "uninstall/PackagedPlan.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using platform::PackagedApplication;

constexpr char kID[] = "org.example.Tool";

/// An uninstall service over a fake home and a fake user installation, driven by hand; the
/// package system's removal is recorded and answers with `removalOutcome`.
class FlatpakUninstallTest : public ::testing::Test {
  protected:
    FlatpakUninstallTest() {
        testing::deployFakeFlatpak(
            installation.path,
            {.id = kID, .metadata = testing::applicationMetadata(kID), .desktopName = "Werkzeug"});
        AppUninstallService::Dependencies dependencies;
        dependencies.locations = {.home = home,
                                  .systemLibrary = folder / "Library",
                                  .configHome = home / ".config",
                                  .dataHome = home / ".local/share",
                                  .cacheHome = home / ".cache",
                                  .stateHome = home / ".local/state"};
        dependencies.quitRunningApp = [](const std::string&, std::function<void()> done) {
            done();
        };
        dependencies.moveToTrash = [this](const fs::path& path) {
            trashed.push_back(path);
            return support::Status(support::Unit{});
        };
        dependencies.sleeper = sleeper;
        dependencies.clock = [] { return TimePoint{}; };
        dependencies.context = context;
        dependencies.mainExecutor = main;
        dependencies.packages = {
            .list =
                [this](const support::CancellationToken& token) {
                    return platform::flatpakApplications(installation, token);
                },
            .remove =
                [this](const PackagedApplication& app, std::function<void(support::Status)> done) {
                    removed.push_back(app.id);
                    auto outcome = removalOutcome();
                    if (outcome) {
                        fs::remove_all(installation.path / "app" / app.id);
                        fs::remove_all(installation.path / "exports");
                    }
                    done(outcome);
                },
            .permissionRows =
                [this](const std::string&) {
                    return rowsRemoved.empty()
                               ? std::vector<platform::PermissionStoreRow>{{"devices",
                                                                            "camera",
                                                                            {"yes"}}}
                               : std::vector<platform::PermissionStoreRow>{};
                },
            .removePermissionRows =
                [this](const std::string& id) {
                    rowsRemoved.push_back(id);
                    return support::Status(support::Unit{});
                },
            .quit =
                [this](const PackagedApplication& app, std::function<void()> done) {
                    quitRequests.push_back(app.id);
                    done();
                },
        };
        service = AppUninstallService::create(std::move(dependencies));
    }

    void drain() const {
        while (context->runAll() + main->runAll() > 0) {
            sleeper->elapseAll();
        }
    }
    UninstallPlan plan() {
        std::optional<UninstallPlan> made;
        service->makePlan(platform::flatpakApplications(installation, {}).at(0), {},
                          [&](auto answer) { made = std::move(answer).value(); });
        drain();
        return made.value();
    }
    DeletionReport uninstall(const UninstallPlan& plan,
                             std::optional<AppUninstallService::ItemIDs> ids = std::nullopt) {
        std::optional<DeletionReport> report;
        service->uninstall(plan, std::move(ids), {},
                           [&](auto answer) { report = std::move(answer).value(); });
        drain();
        return report.value();
    }

    testing::TemporaryDirectory folder;
    fs::path home = folder / "home";
    platform::FlatpakInstallation installation{"user", "user", home / ".local/share/flatpak"};
    std::shared_ptr<support::ManualExecutor> context = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<testing::ManualSleeper> sleeper = std::make_shared<testing::ManualSleeper>();
    std::function<support::Status()> removalOutcome = [] {
        return support::Status(support::Unit{});
    };
    std::vector<std::string> removed, rowsRemoved, quitRequests;
    std::vector<fs::path> trashed;
    std::shared_ptr<AppUninstallService> service;
};

TEST_F(FlatpakUninstallTest, ThePlanIsTheAppItsNonEmptyResiduesAndItsPortalRows) {
    testing::makeFile(home / ".var/app" / kID / "data/db", 10);
    testing::makeFile(home / ".config" / kID / "settings", 10);
    fs::create_directories(home / ".cache" / kID);
    testing::makeFile(home / ".config/autostart" / (std::string(kID) + ".desktop"), 10);
    testing::makeFile(home / ".local/share/flatpak/overrides" / kID, 10);
    testing::makeFile(
        home / ".local/share/xdg-desktop-portal/applications" / (std::string(kID) + ".desktop"),
        10);
    testing::makeFile(home / ".local/share/xdg-desktop-portal/applications/org.example.ToolX.x",
                      10);
    const auto made = plan();
    std::vector<std::string> shown;
    for (const auto& item : made.items) {
        shown.push_back(item.displayName);
    }
    const std::vector<std::string> expected{
        "Werkzeug (Flatpak, user)",
        "~/.var/app/org.example.Tool",
        "~/.config/org.example.Tool",
        "~/.config/autostart/org.example.Tool.desktop",
        "~/.local/share/flatpak/overrides/org.example.Tool",
        "~/.local/share/xdg-desktop-portal/applications/org.example.Tool.desktop",
        "Portal-Berechtigungen (devices)",
    };
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(made.items[0].url, installation.path / "app" / kID);
    EXPECT_EQ(made.items[0].warnings, std::vector{CleanableItemWarning::irreversible});
    EXPECT_EQ(made.items.back().url, kPermissionStoreRow);
}

TEST_F(FlatpakUninstallTest, DataGoesOnlyOnceTheToolRemovedTheApp) {
    struct Case {
        std::string name;
        std::optional<std::string> toolFailure;
        bool chooseApp;
        std::size_t succeeded;
    };
    const std::vector<Case> cases{
        {"removed", std::nullopt, true, 3},
        {"tool failed", "flatpak: error: Not authorized", true, 0},
        {"app kept", std::nullopt, false, 0},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        testing::makeFile(home / ".var/app" / kID / "data/db", 10);
        removed.clear();
        rowsRemoved.clear();
        trashed.clear();
        removalOutcome = [&] {
            return each.toolFailure ? support::Status(support::Error::make(
                                          platform::PackageError(*each.toolFailure)))
                                    : support::Status(support::Unit{});
        };
        const auto made = plan();
        ASSERT_EQ(made.items.size(), 3U);
        AppUninstallService::ItemIDs ids{made.items[1].id, made.items[2].id};
        if (each.chooseApp) {
            ids.insert(made.items[0].id);
        }
        const auto report = uninstall(made, ids);
        EXPECT_EQ(report.succeeded.size(), each.succeeded);
        EXPECT_EQ(report.succeeded.size() + report.failed.size(), ids.size());
        if (each.succeeded == 0) {
            EXPECT_TRUE(trashed.empty());
            EXPECT_TRUE(rowsRemoved.empty());
            ASSERT_FALSE(report.failed.empty());
            EXPECT_EQ(report.failed.back().reason,
                      "Behalten: Die App ist noch installiert, ihre Daten bleiben unangetastet.");
        } else {
            EXPECT_EQ(trashed, std::vector{home / ".var/app" / kID});
            EXPECT_EQ(rowsRemoved, std::vector<std::string>{kID});
        }
        if (each.toolFailure) {
            EXPECT_EQ(report.failed.front().id, made.items[0].id);
            EXPECT_EQ(report.failed.front().reason, *each.toolFailure);
        }
        EXPECT_EQ(removed.size(), each.chooseApp ? 1U : 0U);
        EXPECT_EQ(quitRequests.back(), kID);
        if (!fs::exists(installation.path / "app" / kID)) {
            testing::deployFakeFlatpak(installation.path,
                                       {.id = kID,
                                        .metadata = testing::applicationMetadata(kID),
                                        .desktopName = "Werkzeug"});
        }
    }
}

TEST_F(FlatpakUninstallTest, RowsTheServiceDoesNotFindForTheAppAreRefused) {
    auto made = plan();
    made.items.push_back(made.items.front());
    made.items.back().id = Uuid::random();
    made.items.back().url = home / "Documents";
    const auto report = uninstall(made);
    ASSERT_EQ(report.failed.size(), 1U);
    EXPECT_EQ(report.failed[0].id, made.items.back().id);
    EXPECT_TRUE(trashed.empty());
}

TEST(FlatpakToolTest, UninstallsWithTheAppsInstallationAndReportsTheToolsMessage) {
    const std::vector<std::pair<std::string, std::string>> scopes{
        {"user", "--user"}, {"system", "--system"}, {"extra", "--installation=extra"}};
    for (const auto& [installation, option] : scopes) {
        const PackagedApplication app{.id = kID, .name = "Tool", .installation = installation};
        EXPECT_EQ(flatpakUninstallArguments(app),
                  (std::vector<std::string>{"uninstall", "-y", option, kID}));
    }
    testing::TemporaryDirectory folder;
    const std::vector<std::pair<std::string, std::string>> tools{
        {"echo \"$@\" > \"$(dirname \"$0\")/called\"; exit 0", ""},
        {"echo 'error: org.example.Tool/x86_64/stable not installed' >&2; exit 1",
         "flatpak: error: org.example.Tool/x86_64/stable not installed"},
        {"echo 'error: Flatpak system operation Uninstall not allowed for user' >&2; exit 1",
         "flatpak: error: Flatpak system operation Uninstall not allowed for user"},
        {"exit 1", "flatpak uninstall endete mit Status 1."},
    };
    for (const auto& [script, failure] : tools) {
        const auto tool = folder / "flatpak";
        testing::writeTextFile(tool, "#!/bin/sh\n" + script + "\n");
        fs::permissions(tool, fs::perms::owner_all);
        const auto remove =
            packageRemoval({.flatpak = tool, .snapd = {}, .effectiveUser = [] { return 1000U; }});
        std::promise<support::Status> outcome;
        remove({.id = kID, .name = "Tool", .installation = "user"},
               [&](support::Status status) { outcome.set_value(std::move(status)); });
        const auto status = outcome.get_future().get();
        EXPECT_EQ(status ? "" : status.error().description(), failure);
    }
    EXPECT_EQ(testing::readTextFile(folder / "called"), "uninstall -y --user org.example.Tool\n");
    const auto asRoot =
        packageRemoval({.flatpak = "/bin/true", .snapd = {}, .effectiveUser = [] { return 0U; }});
    std::optional<support::Status> refused;
    asRoot({.id = kID, .name = "Tool", .installation = "user"},
           [&](support::Status status) { refused = std::move(status); });
    ASSERT_TRUE(refused);
    EXPECT_FALSE(*refused);
}

}  // namespace
}  // namespace quillo
