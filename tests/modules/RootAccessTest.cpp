#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "modules/RootAccess.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;

// Every root below the fake system's /var is out of reach; the home's are not.
TEST(RootAccessTest, RootsOutOfReachLeaveTheLocationsAndAreListedInModuleOrder) {
    const fs::path system = "/fake";
    auto locations = linuxLocations(
        LocationFacts{.systemRoot = system, .environment = [](const char* name) -> const char* {
                          return std::string(name) == "HOME" ? "/home/anna" : nullptr;
                      }});
    const auto leftOut = leaveOutRootsOutOfReach(locations, [&](const fs::path& folder) {
        return folder.string().starts_with("/fake/var/");
    });

    EXPECT_EQ(leftOut,
              (std::vector<LeftOutRoot>{
                  {CleaningModuleID::systemCaches, system / "var/cache"},
                  {CleaningModuleID::systemLogs, system / "var/log"},
                  {CleaningModuleID::tempFiles, system / "var/tmp"},
                  {CleaningModuleID::diagnosticReports, system / "var/crash"},
                  {CleaningModuleID::diagnosticReports, system / "var/lib/systemd/coredump"},
                  {CleaningModuleID::fontCache, system / "var/cache/fontconfig"},
              }));
    EXPECT_EQ(locations.cacheRoots, std::vector<fs::path>{"/home/anna/.cache"});
    EXPECT_EQ(locations.logRoots, std::vector<fs::path>{"/home/anna/.local/state"});
    EXPECT_EQ(locations.tempRoots, std::vector<fs::path>{system / "tmp"});
    EXPECT_TRUE(locations.reportRoots.empty());
    EXPECT_TRUE(locations.deepReportRoots.empty());
    EXPECT_EQ(locations.residualRoots.size(), 3U);
    EXPECT_EQ(locations.fontRoots, std::vector<fs::path>{"/home/anna/.cache/fontconfig"});
    // The caches module still never offers the system's font caches, walked or not.
    EXPECT_NE(std::ranges::find(locations.excludedCacheEntries, system / "var/cache/fontconfig"),
              locations.excludedCacheEntries.end());
}

}  // namespace
}  // namespace quillo
