#pragma once

#include <filesystem>
#include <functional>

namespace quillo::platform {

/// Reads an environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

EnvironmentLookup processEnvironment();

/// $HOME when it is absolute, else the account's home folder; empty when neither is known.
std::filesystem::path homeFolder(const EnvironmentLookup& environment = processEnvironment());

/// Where the application keeps its data: $XDG_DATA_HOME when it is absolute, else
/// ~/.local/share (the application-support folder of this platform).
std::filesystem::path applicationSupportFolder(
    const EnvironmentLookup& environment = processEnvironment());

}  // namespace quillo::platform
