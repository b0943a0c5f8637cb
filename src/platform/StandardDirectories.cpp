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

}  // namespace

EnvironmentLookup processEnvironment() {
    return [](const char* name) { return std::getenv(name); };
}

std::filesystem::path homeFolder(const EnvironmentLookup& environment) {
    auto home = absoluteVariable(environment, "HOME");
    return home.empty() ? accountHome() : home;
}

std::filesystem::path applicationSupportFolder(const EnvironmentLookup& environment) {
    auto dataHome = absoluteVariable(environment, "XDG_DATA_HOME");
    if (!dataHome.empty()) {
        return dataHome;
    }
    return homeFolder(environment) / ".local" / "share";
}

}  // namespace quillo::platform
