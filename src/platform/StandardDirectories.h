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

/// Where the application keeps the user's preferences: $XDG_CONFIG_HOME when it is absolute,
/// else ~/.config.
std::filesystem::path configurationFolder(
    const EnvironmentLookup& environment = processEnvironment());

/// The user's caches: $XDG_CACHE_HOME when it is absolute, else ~/.cache.
std::filesystem::path cachesFolder(const EnvironmentLookup& environment = processEnvironment());

/// The user's state data, logs among them: $XDG_STATE_HOME when it is absolute, else
/// ~/.local/state.
std::filesystem::path stateFolder(const EnvironmentLookup& environment = processEnvironment());

/// The process's temporary folder: $TMPDIR when it is absolute, else /tmp.
std::filesystem::path temporaryFolder(const EnvironmentLookup& environment = processEnvironment());

}  // namespace quillo::platform
