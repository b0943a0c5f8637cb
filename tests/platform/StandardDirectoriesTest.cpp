#include <gtest/gtest.h>

#include <string>

#include "platform/StandardDirectories.h"

namespace quillo::platform {
namespace {

EnvironmentLookup configHomeAndHome(const char* configHome, const char* home) {
    return [configHome, home](const char* name) -> const char* {
        const std::string variable = name;
        return variable == "XDG_CONFIG_HOME" ? configHome : variable == "HOME" ? home : nullptr;
    };
}

TEST(StandardDirectoriesTest, ConfigurationFollowsAnAbsoluteConfigHomeElseTheHomeFolder) {
    EXPECT_EQ(configurationFolder(configHomeAndHome("/etc/anna", "/home/anna")), "/etc/anna");
    EXPECT_EQ(configurationFolder(configHomeAndHome("relative", "/home/anna")),
              "/home/anna/.config");
    EXPECT_EQ(configurationFolder(configHomeAndHome("", "/home/anna")), "/home/anna/.config");
    EXPECT_EQ(configurationFolder(configHomeAndHome(nullptr, "/home/anna")), "/home/anna/.config");
}

EnvironmentLookup only(const std::string& variable, const char* value) {
    return [variable, value](const char* name) -> const char* {
        return name == variable ? value : std::string(name) == "HOME" ? "/home/anna" : nullptr;
    };
}

TEST(StandardDirectoriesTest, EveryBaseFolderFollowsItsVariableOnlyWhenAbsolute) {
    struct Case {
        std::filesystem::path (*folder)(const EnvironmentLookup&);
        const char* variable;
        const char* fallback;
    };
    for (const auto& [folder, variable, fallback] :
         {Case{applicationSupportFolder, "XDG_DATA_HOME", "/home/anna/.local/share"},
          Case{cachesFolder, "XDG_CACHE_HOME", "/home/anna/.cache"},
          Case{stateFolder, "XDG_STATE_HOME", "/home/anna/.local/state"},
          Case{temporaryFolder, "TMPDIR", "/tmp"}}) {
        EXPECT_EQ(folder(only(variable, "/srv/elsewhere")), "/srv/elsewhere") << variable;
        EXPECT_EQ(folder(only(variable, "relative")), fallback) << variable;
        EXPECT_EQ(folder(only(variable, nullptr)), fallback) << variable;
    }
}

}  // namespace
}  // namespace quillo::platform
