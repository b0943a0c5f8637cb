#include <gtest/gtest.h>

#include "support/ManualExecutor.h"
#include "uninstall/UninstallHarness.h"
#include "viewmodels/UninstallViewModel.h"

namespace quillo {
namespace {

using platform::PackagedApplication;

TEST(UninstallChoosingTest, ListsSearchesAndPlansAPackagedApplication) {
    auto context = std::make_shared<support::ManualExecutor>();
    auto main = std::make_shared<support::ManualExecutor>();
    const std::vector<PackagedApplication> installed{
        {.kind = platform::PackageKind::flatpak,
         .id = "org.gnome.Maps",
         .name = "Karten",
         .installation = "system",
         .installationLabel = "system",
         .installationPath = "/var/lib/flatpak"},
        {.kind = platform::PackageKind::snap,
         .id = "vlc",
         .name = "VLC",
         .installation = "snap",
         .installationLabel = "snap",
         .deployment = "/snap/vlc/current"},
    };
    UninstallViewModel model(testing::packageListingService(installed, context, main), main);

    model.showApplications();
    const auto* loading = std::get_if<UninstallViewModel::Choosing>(&model.phase());
    ASSERT_NE(loading, nullptr);
    EXPECT_TRUE(loading->loading);
    context->runAll();
    main->runAll();
    EXPECT_EQ(model.shownApplications(), installed);
    for (const auto& [query, expected] : std::vector<std::pair<std::string, std::size_t>>{
             {"  KART ", 1}, {"SNAP", 1}, {"org.gnome", 1}, {"nichts", 0}, {"", 2}}) {
        model.setApplicationQuery(query);
        EXPECT_EQ(model.shownApplications().size(), expected) << query;
    }

    model.prepare(installed[1]);
    EXPECT_TRUE(std::holds_alternative<UninstallViewModel::Preparing>(model.phase()));
    context->runAll();
    main->runAll();
    const auto* ready = std::get_if<UninstallViewModel::Ready>(&model.phase());
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->plan.items.at(0).url, "/snap/vlc");
    EXPECT_EQ(ready->plan.items.at(0).displayName, "VLC (Snap)");
    EXPECT_TRUE(model.canUninstall());
    model.reset();
    EXPECT_TRUE(model.shownApplications().empty());
}

}  // namespace
}  // namespace quillo
