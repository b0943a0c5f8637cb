#include <gtest/gtest.h>

#include "platform/FlatpakInstallations.h"
#include "platform/KeyFile.h"
#include "support/FakeFlatpak.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;
using testing::applicationMetadata;
using testing::deployFakeFlatpak;

class FlatpakInstallationsTest : public ::testing::Test {
  protected:
    testing::TemporaryDirectory folder;
    FlatpakInstallation user{"user", "user", folder / "user"};

    [[nodiscard]] std::vector<PackagedApplication> listed() const {
        return flatpakApplications(user, {});
    }
};

TEST_F(FlatpakInstallationsTest, UserSystemAndValidExtraInstallationsInOrder) {
    const auto config = folder / "installations.d";
    testing::writeTextFile(config / "b.conf",
                           "[Installation \"extra\"]\nPath=/opt/flatpak\nDisplayName=Zusatz\n"
                           "[Installation \"../evil\"]\nPath=/tmp/x\n"
                           "[Installation \"relative\"]\nPath=some/where\n");
    testing::writeTextFile(config / "a.conf", "[Installation \"games\"]\nPath=/srv/games\n");
    testing::writeTextFile(config / "c.txt", "[Installation \"ignored\"]\nPath=/srv/x\n");
    testing::writeTextFile(config / "d.conf", std::string("\xff\xfe[bin\0ary", 11));
    const auto installations = flatpakInstallations({folder / "u", folder / "s", config});
    const std::vector<FlatpakInstallation> expected{
        {"user", "user", folder / "u"},
        {"system", "system", folder / "s"},
        {"games", "games", "/srv/games"},
        {"extra", "Zusatz", "/opt/flatpak"},
    };
    EXPECT_EQ(installations, expected);
}

TEST_F(FlatpakInstallationsTest, NamesComeFromTheDesktopEntryElseTheMetainfoElseTheID) {
    deployFakeFlatpak(user.path, {.id = "org.example.Desk",
                                  .metadata = applicationMetadata("org.example.Desk"),
                                  .desktopName = "Schreibtisch",
                                  .metainfoName = "Ignoriert",
                                  .withIcon = true});
    deployFakeFlatpak(user.path, {.id = "org.example.Meta",
                                  .metadata = applicationMetadata("org.example.Meta"),
                                  .metainfoName = "Metaname"});
    deployFakeFlatpak(
        user.path, {.id = "org.example.Bare", .metadata = applicationMetadata("org.example.Bare")});
    const auto apps = listed();
    ASSERT_EQ(apps.size(), 3U);
    EXPECT_EQ(apps[0].id, "org.example.Bare");
    EXPECT_EQ(apps[0].name, "Bare");
    EXPECT_TRUE(apps[0].icon.empty());
    EXPECT_EQ(apps[1].name, "Schreibtisch");
    EXPECT_EQ(apps[1].icon.filename(), "org.example.Desk.png");
    EXPECT_EQ(apps[1].installation, "user");
    EXPECT_EQ(apps[1].deployment, user.path / "app/org.example.Desk/current/active");
    EXPECT_GE(apps[1].sizeInBytes, 4096);
    EXPECT_EQ(apps[2].name, "Metaname");
}

TEST_F(FlatpakInstallationsTest, RuntimesExtensionsUndeployedAndHostileMetadataAreSkipped) {
    deployFakeFlatpak(
        user.path, {.id = "org.example.Good", .metadata = applicationMetadata("org.example.Good")});
    deployFakeFlatpak(user.path, {.id = "org.example.Good.Debug",
                                  .metadata = applicationMetadata("org.example.Good.Debug")});
    deployFakeFlatpak(user.path, {.id = "org.example.Runtime", .metadata = "[Runtime]\nname=x\n"});
    deployFakeFlatpak(user.path, {.id = "org.example.Binary",
                                  .metadata = std::string("\x7f"
                                                          "ELF\0\0\x01\xff",
                                                          9)});
    deployFakeFlatpak(user.path, {.id = "org.example.Huge",
                                  .metadata = applicationMetadata("org.example.Huge") + "x=" +
                                              std::string(KeyFile::kDefaultLimit, 'a') + "\n"});
    deployFakeFlatpak(user.path, {.id = "org.example.Odd",
                                  .metadata = applicationMetadata("org.example.Odd"),
                                  .desktopName = "\xff\xfe"});
    deployFakeFlatpak(
        user.path, {.id = "org.example.Gone", .metadata = applicationMetadata("org.example.Gone")});
    fs::remove(user.path / "app/org.example.Gone/x86_64/stable/active");
    fs::create_directories(user.path / "app/-rf/current/active");
    const auto apps = listed();
    ASSERT_EQ(apps.size(), 2U);
    EXPECT_EQ(apps[0].id, "org.example.Good");
    // A name that is no UTF-8 falls back to the ID's last component.
    EXPECT_EQ(apps[1].name, "Odd");
}

TEST(MetainfoNameTest, TakesTheUntranslatedNameOfTheComponent) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {"<component><name xml:lang=\"fr\">Bonjour</name><name> Hallo </name></component>",
         "Hallo"},
        {"<component><developer><name>Firma</name></developer><name>App</name></component>", "App"},
        {"<component><name>Ungeschlossen", std::nullopt},
        {"kein xml", std::nullopt},
        {"<component><name></name></component>", std::nullopt},
    };
    for (const auto& [xml, expected] : cases) {
        EXPECT_EQ(metainfoName(xml), expected) << xml;
    }
}

}  // namespace
}  // namespace quillo::platform
