#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "modules/ModuleLocations.h"

namespace quillo {
namespace {

using Paths = std::vector<std::filesystem::path>;
using ::testing::Contains;
using ::testing::ElementsAre;

LocationFacts factsWith(std::map<std::string, std::string> variables) {
    variables.try_emplace("HOME", "/home/anna");
    return LocationFacts{
        .systemRoot = "/fake",
        .environment = [variables = std::move(variables)](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        }};
}

TEST(ModuleLocationsTest, LinuxUsesTheXdgFoldersAndTheSystemsVarFolders) {
    const auto locations = linuxLocations(factsWith({}));
    EXPECT_EQ(locations.cacheRoots, (Paths{"/home/anna/.cache", "/fake/var/cache"}));
    EXPECT_EQ(locations.logRoots, (Paths{"/home/anna/.local/state", "/fake/var/log"}));
    EXPECT_EQ(locations.tempRoots, (Paths{"/fake/tmp", "/fake/var/tmp"}));
    EXPECT_EQ(locations.tempRecentWindow, std::chrono::hours(24));
    EXPECT_EQ(locations.sleepImage, std::nullopt);
    EXPECT_EQ(locations.reportRoots, (Paths{"/fake/var/crash"}));
    EXPECT_EQ(locations.deepReportRoots, (Paths{"/fake/var/lib/systemd/coredump"}));
    EXPECT_THAT(
        locations.residualRoots,
        ElementsAre(
            ResidualRoot{"/home/anna/.var/app", ResidualNameRule::applicationID, true},
            ResidualRoot{"/home/anna/.config", ResidualNameRule::applicationID, false},
            ResidualRoot{"/home/anna/.local/share", ResidualNameRule::applicationID, false}));
    EXPECT_EQ(locations.fontRoots,
              (Paths{"/home/anna/.cache/fontconfig", "/fake/var/cache/fontconfig"}));
    // The font caches belong to their own module; the package configuration is no cache.
    EXPECT_EQ(locations.excludedCacheEntries,
              (Paths{"/home/anna/.cache/fontconfig", "/fake/var/cache/fontconfig",
                     "/fake/var/cache/debconf"}));
}

TEST(ModuleLocationsTest, LinuxFollowsTheVariablesButNeverMakesAFolderThatMustStayARoot) {
    const auto moved = linuxLocations(factsWith({{"XDG_CACHE_HOME", "/srv/cache"},
                                                 {"XDG_STATE_HOME", "/srv/state"},
                                                 {"TMPDIR", "/run/user/1000/tmp"}}));
    EXPECT_EQ(moved.cacheRoots, (Paths{"/srv/cache", "/fake/var/cache"}));
    EXPECT_EQ(moved.logRoots, (Paths{"/srv/state", "/fake/var/log"}));
    EXPECT_EQ(moved.tempRoots, (Paths{"/fake/tmp", "/run/user/1000/tmp", "/fake/var/tmp"}));
    EXPECT_THAT(moved.excludedCacheEntries, Contains("/srv/cache/fontconfig"));

    // A process folder inside a shared one is walked with it already.
    for (const auto* inside : {"/fake/tmp", "/fake/tmp/", "/fake/var/tmp/anna"}) {
        EXPECT_EQ(linuxLocations(factsWith({{"TMPDIR", inside}})).tempRoots,
                  (Paths{"/fake/tmp", "/fake/var/tmp"}))
            << inside;
    }
    // Folders whose whole contents would be offered: the home folder, "/", a system folder.
    for (const auto* home : {"/home/anna", "/home/anna/", "/", "/usr"}) {
        const auto locations = linuxLocations(
            factsWith({{"XDG_CACHE_HOME", home}, {"XDG_STATE_HOME", home}, {"TMPDIR", home}}));
        EXPECT_EQ(locations.cacheRoots, (Paths{"/fake/var/cache"})) << home;
        EXPECT_EQ(locations.logRoots, (Paths{"/fake/var/log"})) << home;
        EXPECT_EQ(locations.tempRoots, (Paths{"/fake/tmp", "/fake/var/tmp"})) << home;
    }
    EXPECT_EQ(linuxLocations(factsWith({{"TMPDIR", "relative/tmp"}})).tempRoots,
              (Paths{"/fake/tmp", "/fake/var/tmp"}));
}

TEST(ModuleLocationsTest, MacOSUsesTheLibraryFolders) {
    const auto locations = macOSLocations(factsWith({{"TMPDIR", "/var/folders/xy/T"}}));
    EXPECT_EQ(locations.cacheRoots, (Paths{"/home/anna/Library/Caches", "/fake/Library/Caches"}));
    EXPECT_EQ(locations.logRoots,
              (Paths{"/home/anna/Library/Logs", "/fake/Library/Logs", "/fake/private/var/log"}));
    EXPECT_EQ(locations.tempRoots, (Paths{"/fake/private/tmp", "/var/folders/xy/T"}));
    EXPECT_EQ(locations.tempRecentWindow, std::nullopt);
    EXPECT_EQ(locations.sleepImage, "/fake/private/var/vm/sleepimage");
    EXPECT_EQ(locations.reportRoots, (Paths{"/home/anna/Library/Logs/DiagnosticReports",
                                            "/fake/Library/Logs/DiagnosticReports"}));
    EXPECT_EQ(locations.deepReportRoots,
              (Paths{"/home/anna/Library/DeveloperDiagnostics",
                     "/home/anna/Library/Logs/CrashReporter", "/fake/Library/Logs/CrashReporter"}));
    EXPECT_THAT(locations.residualRoots,
                ElementsAre(ResidualRoot{"/home/anna/Library/Application Support",
                                         ResidualNameRule::bundleIdentifier, true}));
    EXPECT_EQ(locations.fontRoots, (Paths{"/home/anna/Library/Caches/com.apple.ATS",
                                          "/fake/Library/Caches/com.apple.ATS"}));
    EXPECT_EQ(locations.excludedCacheEntries, locations.fontRoots);
}

}  // namespace
}  // namespace quillo
