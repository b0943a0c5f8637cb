#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "model/CleaningModuleID.h"
#include "modules/ApplicationResidualActor.h"
#include "platform/DeletionScope.h"
#include "platform/StandardDirectories.h"

namespace quillo {

/// Where the default modules look, on one platform.
struct ModuleLocations {
    std::vector<std::filesystem::path> cacheRoots;
    /// Entries below the cache roots that the caches module never offers: what another module
    /// owns (the font caches) and what only looks like a cache.
    std::vector<std::filesystem::path> excludedCacheEntries;
    std::vector<std::filesystem::path> logRoots;
    /// The systemd journal's folders: their archived files are one item, vacuumed by journalctl
    /// and never walked as logs.
    std::vector<std::filesystem::path> journalFolders{};
    std::vector<std::filesystem::path> tempRoots;
    /// How long an entry of the temp roots counts as recently changed: where they are shared
    /// with every running program and only aged by time, a young entry may still be in use.
    std::optional<std::chrono::seconds> tempRecentWindow;
    std::optional<std::filesystem::path> sleepImage;
    std::vector<std::filesystem::path> reportRoots;
    std::vector<std::filesystem::path> deepReportRoots;
    std::vector<ResidualRoot> residualRoots;
    std::vector<std::filesystem::path> fontRoots;
};

/// What the locations are derived from; a test puts fake roots here.
struct LocationFacts {
    /// Where the system's own folders ("/var", "/Library", …) are.
    std::filesystem::path systemRoot = "/";
    /// Answers the XDG variables, TMPDIR and HOME.
    platform::EnvironmentLookup environment = platform::processEnvironment();
};

/// The folders of a macOS system.
ModuleLocations macOSLocations(const LocationFacts& facts);

/// Their Linux counterparts: the XDG base folders of the user, the system's /var folders, no
/// sleep image (Linux hibernates into swap), Flatpak's per-app data and the XDG config and data
/// homes for residuals (application IDs only, preselected only under Flatpak's own folder).
ModuleLocations linuxLocations(const LocationFacts& facts);

/// Where the deletion service may delete each file module's items: strictly below its roots
/// (the deep ones included); the font cache roots and the sleep image themselves.
std::map<CleaningModuleID, std::vector<platform::DeletionArea>> deletionAreas(
    const ModuleLocations& locations);

/// Only the system's own folders of `linuxLocations` below `systemRoot`, read from no variable:
/// what the administrator helper scans and deletes in.
ModuleLocations linuxSystemLocations(const std::filesystem::path& systemRoot);

/// The paths of the module `id`'s deletion areas: the folders it looks in (for the residual
/// module its roots' folders, for the sleep image the file itself; none for the snapshots).
std::vector<std::filesystem::path> moduleRoots(const ModuleLocations& locations,
                                               CleaningModuleID id);

/// The locations of the platform this build runs on.
ModuleLocations platformLocations();

}  // namespace quillo
