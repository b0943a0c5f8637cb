#pragma once

#include <filesystem>
#include <vector>

namespace quillo::platform {

/// Entries of the system caches folder that are not caches despite their place and are never
/// offered, below `systemRoot` (normally "/"):
/// - var/cache/debconf: the package manager's configuration database (answers given at
///   installation, passwords); losing it breaks every later upgrade of those packages.
std::vector<std::filesystem::path> protectedSystemCacheEntries(
    const std::filesystem::path& systemRoot);

}  // namespace quillo::platform
