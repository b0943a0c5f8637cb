#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audit/AppListReport.h"
#include "audit/FlatpakPermissions.h"
#include "support/FakeFlatpak.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

namespace quillo {
namespace {

using P = PrivacyPermission;
using Declared = std::vector<std::pair<P, std::string>>;

Declared declaredOf(const std::vector<DeclaredPermission>& declarations) {
    Declared declared;
    for (const auto& declaration : declarations) {
        declared.emplace_back(declaration.permission, declaration.usageDescription);
    }
    return declared;
}

Declared declaredByMetadata(const std::string& metadata,
                            const std::vector<platform::PermissionStoreRow>& rows = {}) {
    FlatpakPermissions permissions;
    const auto layer = platform::KeyFile::parse(metadata);
    EXPECT_TRUE(layer) << metadata;
    if (layer) {
        permissions.apply(*layer);
    }
    return declaredOf(flatpakDeclarations(permissions, rows));
}

TEST(FlatpakPermissionsTest, EachLineMapsToItsKindsWithTheLineAsRationale) {
    const std::vector<std::pair<std::string, Declared>> cases{
        {"[Context]\nsockets=pulseaudio;wayland;\n", {{P::microphone, "sockets=pulseaudio"}}},
        {"[Context]\ndevices=all;\n",
         {{P::camera, "devices=all"}, {P::inputMonitoring, "devices=all"}}},
        {"[Context]\ndevices=dri;input;\nshared=network;ipc;\n",
         {{P::inputMonitoring, "devices=input"}, {P::network, "shared=network"}}},
        {"[Context]\nsockets=x11;fallback-x11;\n",
         {{P::screenCapture, "sockets=x11, sockets=fallback-x11"}}},
        {"[Context]\nfilesystems=xdg-pictures/Screenshots:ro;~/Music;\n",
         {{P::photos, "filesystems=xdg-pictures/Screenshots:ro"}}},
        {"[Context]\nfilesystems=home:ro;\n",
         {{P::photos, "filesystems=home:ro"},
          {P::desktopFolder, "filesystems=home:ro"},
          {P::documentsFolder, "filesystems=home:ro"},
          {P::downloadsFolder, "filesystems=home:ro"},
          {P::homeFolder, "filesystems=home:ro"}}},
        {"[Context]\nfilesystems=host-etc;xdg-download;\n",
         {{P::downloadsFolder, "filesystems=xdg-download"},
          {P::fullDiskAccess, "filesystems=host-etc"}}},
        {"[Context]\nfeatures=bluetooth;devel;\nsockets=session-bus;system-bus;\n",
         {{P::bluetooth, "features=bluetooth"},
          {P::sessionBus, "sockets=session-bus"},
          {P::systemBus, "sockets=system-bus"},
          {P::hostCommands, "sockets=session-bus"}}},
        {"[Session Bus Policy]\norg.freedesktop.Flatpak=talk\norg.gnome.evolution.dataserver.*="
         "talk\norg.freedesktop.Notifications=talk\n[System Bus Policy]\norg.bluez=see\n"
         "org.freedesktop.GeoClue2=talk\n",
         {{P::location, "[System Bus Policy] org.freedesktop.GeoClue2=talk"},
          {P::contacts, "[Session Bus Policy] org.gnome.evolution.dataserver.*=talk"},
          {P::calendars, "[Session Bus Policy] org.gnome.evolution.dataserver.*=talk"},
          {P::hostCommands, "[Session Bus Policy] org.freedesktop.Flatpak=talk"}}},
        {"[Context]\nsockets=!pulseaudio;wayland;\ndevices=odd value;;\n", {}},
    };
    for (const auto& [metadata, expected] : cases) {
        EXPECT_EQ(declaredByMetadata(metadata), expected) << metadata;
    }
}

TEST(FlatpakPermissionsTest, GrantedPortalRowsCountRefusedOnesDoNot) {
    const std::vector<platform::PermissionStoreRow> rows{
        {"devices", "camera", {"yes"}},        {"location", "location", {"EXACT", "1"}},
        {"screenshot", "screenshot", {"no"}},  {"background", "background", {"yes"}},
        {"notifications", "notification", {}},
    };
    const Declared expected{{P::camera, "Portal devices/camera=yes"},
                            {P::location, "Portal location/location=EXACT"},
                            {P::background, "Portal background/background=yes"}};
    EXPECT_EQ(declaredByMetadata("[Context]\n", rows), expected);
    EXPECT_TRUE(
        declaredByMetadata("[Context]\n", {{"location", "location", {"NONE", "0"}}}).empty());
}

TEST(FlatpakPermissionsTest, SnapInterfacesMapLikeSandboxPermissions) {
    const Declared expected{{P::camera, "plug camera"},
                            {P::microphone, "plug audio-record"},
                            {P::homeFolder, "plug home"},
                            {P::network, "plug network"}};
    EXPECT_EQ(declaredOf(snapDeclarations(
                  {"network", "home", "audio-record", "camera", "desktop", "opengl"})),
              expected);
}

class FlatpakOverridesTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory folder;
    FlatpakOverrideFolders overrides{folder / "system/overrides", folder / "user/overrides"};
    const std::string id = "org.example.Tool";

    platform::PackagedApplication deploy(const std::string& installation) {
        const auto path = folder / installation;
        return {.kind = platform::PackageKind::flatpak,
                .id = id,
                .name = "Tool",
                .installation = installation,
                .installationPath = path,
                .deployment = testing::deployFakeFlatpak(
                    path, {.id = id,
                           .metadata = testing::applicationMetadata(
                               id, "[Context]\nsockets=pulseaudio;x11;\n")})};
    }
    Declared declaredFor(const platform::PackagedApplication& app) const {
        return declaredOf(flatpakDeclarations(effectivePermissions(app, overrides), {}));
    }
};

TEST_F(FlatpakOverridesTest, AppliedInFlatpaksOrderPerInstallation) {
    const auto user = deploy("user");
    const auto system = deploy("system");
    // System global grants the network; the system installation's own file takes x11 back;
    // the user's global adds input devices and the user's per-app file negates the microphone.
    testing::writeTextFile(overrides.system / "global", "[Context]\nshared=network;\n");
    testing::writeTextFile(overrides.system / id, "[Context]\nsockets=!x11;\n");
    testing::writeTextFile(overrides.user / "global", "[Context]\ndevices=input;\n");
    testing::writeTextFile(overrides.user / id, "[Context]\nsockets=!pulseaudio;\n");
    const Declared forUser{{P::screenCapture, "sockets=x11"},
                           {P::inputMonitoring, "devices=input"},
                           {P::network, "shared=network"}};
    EXPECT_EQ(declaredFor(user), forUser);
    const Declared forSystem{{P::inputMonitoring, "devices=input"}, {P::network, "shared=network"}};
    EXPECT_EQ(declaredFor(system), forSystem);
}

TEST(AppListReportTest, JSONCarriesIDsNamesInstallationsAndDeclarations) {
    const platform::PackagedApplication app{.kind = platform::PackageKind::flatpak,
                                            .id = "org.example.Tool",
                                            .name = "Tool \xff",
                                            .sizeInBytes = 123,
                                            .installation = "system"};
    const auto list = nlohmann::json::parse(applicationListJSON({app}));
    EXPECT_EQ(list["applications"][0]["id"], "org.example.Tool");
    EXPECT_EQ(list["applications"][0]["installation"], "system");
    EXPECT_EQ(list["applications"][0]["sizeInBytes"], 123);
    AuditFindings findings{{InstalledApp{Uuid::random(),
                                         "/x",
                                         "org.example.Tool",
                                         "Tool",
                                         {{Uuid::random(), P::microphone, "sockets=pulseaudio"}},
                                         "user"}},
                           4};
    const auto audit = nlohmann::json::parse(auditReportJSON(findings));
    EXPECT_EQ(audit["examined"], 4);
    EXPECT_EQ(audit["applications"][0]["declarations"][0]["kind"], "microphone");
    EXPECT_EQ(audit["applications"][0]["declarations"][0]["rationale"], "sockets=pulseaudio");
    EXPECT_NE(auditReportText({{}, 0}), auditReportText({{}, 3}));
}

}  // namespace
}  // namespace quillo
