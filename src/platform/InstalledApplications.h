#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FlatpakInstallations.h"
#include "platform/StandardDirectories.h"
#include "support/Sleeper.h"

namespace quillo::platform {

/// Answers, once and from any thread, whether an application with the given identifier is
/// installed. It never fails.
using InstalledApplicationCheck =
    std::function<void(const std::string& identifier, std::function<void(bool)> answer)>;

/// Flatpak's shape of an application ID: at least three dot-separated components of ASCII
/// letters, digits, "_" and "-", the first purely alphabetic (org.vendor.tool).
bool isApplicationID(std::string_view name);

/// Where installed applications announce themselves.
struct InstalledApplicationSources {
    /// Folders holding desktop entries ("<identifier>.desktop").
    std::vector<std::filesystem::path> desktopEntryFolders;
    /// Flatpak installations; an application ID deployed in one of them is installed.
    std::vector<FlatpakInstallation> flatpakInstallations{};
    /// The Flatpak tool; when it is empty or missing it is not asked.
    std::filesystem::path flatpakTool;
    /// How long the tool may take. A tool that does not answer in time cannot say that an
    /// application is gone, so its silence counts as installed.
    std::chrono::milliseconds toolDeadline{3000};
};

/// The XDG applications folders ($XDG_DATA_HOME, else ~/.local/share, and each absolute folder of
/// $XDG_DATA_DIRS, else /usr/local/share and /usr/share, each followed by "applications"), then
/// the exported entries of the user's and the system's Flatpak installations, every Flatpak
/// installation (extra ones included), and /usr/bin/flatpak.
InstalledApplicationSources defaultInstalledApplicationSources(
    const EnvironmentLookup& environment = processEnvironment());

/// Whether one of `folders` holds a desktop entry named after `identifier`; links are followed,
/// as Flatpak exports its entries as links into the installed application.
bool hasDesktopEntry(const std::vector<std::filesystem::path>& folders,
                     std::string_view identifier);

/// Installed when a desktop entry is named after the identifier, when it is deployed in one of
/// the Flatpak installations or, failing both, when "flatpak info <identifier>" exits with
/// status 0. Snap names never have the shape of an application ID, so snaps are not asked. An entry
/// answers at once on the caller's thread, the tool from its own thread or from `sleeper`'s
/// (required) when its deadline passes.
InstalledApplicationCheck installedApplicationCheck(InstalledApplicationSources sources,
                                                    std::shared_ptr<support::Sleeper> sleeper);

}  // namespace quillo::platform
