#include "platform/StandardDirectories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace quillo::platform {

namespace {

std::filesystem::path absoluteVariable(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return value;
}

std::filesystem::path accountHome() {
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

// The rule of the XDG base folders: $`variable` when it is absolute, else below the home folder.
std::filesystem::path userBaseFolder(const EnvironmentLookup& environment, const char* variable,
                                     const char* belowHome) {
    auto folder = absoluteVariable(environment, variable);
    return folder.empty() ? homeFolder(environment) / belowHome : folder;
}

}  // namespace

EnvironmentLookup processEnvironment() {
    return [](const char* name) { return std::getenv(name); };
}

std::filesystem::path homeFolder(const EnvironmentLookup& environment) {
    auto home = absoluteVariable(environment, "HOME");
    return home.empty() ? accountHome() : home;
}

std::filesystem::path applicationSupportFolder(const EnvironmentLookup& environment) {
    return userBaseFolder(environment, "XDG_DATA_HOME", ".local/share");
}

std::filesystem::path configurationFolder(const EnvironmentLookup& environment) {
    return userBaseFolder(environment, "XDG_CONFIG_HOME", ".config");
}

std::filesystem::path cachesFolder(const EnvironmentLookup& environment) {
    return userBaseFolder(environment, "XDG_CACHE_HOME", ".cache");
}

std::filesystem::path stateFolder(const EnvironmentLookup& environment) {
    return userBaseFolder(environment, "XDG_STATE_HOME", ".local/state");
}

std::filesystem::path temporaryFolder(const EnvironmentLookup& environment) {
    auto folder = absoluteVariable(environment, "TMPDIR");
    return folder.empty() ? std::filesystem::path("/tmp") : folder;
}

}  // namespace quillo::platform
