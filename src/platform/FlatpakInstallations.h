#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/PackagedApplication.h"
#include "platform/StandardDirectories.h"
#include "support/CancellationToken.h"

namespace quillo::platform {

/// One Flatpak installation: the user's, the system's, or an extra one from
/// installations.d.
struct FlatpakInstallation {
    /// "user", "system" or the extra installation's name.
    std::string name;
    /// DisplayName= of an extra installation, else the name.
    std::string label;
    std::filesystem::path path;

    friend bool operator==(const FlatpakInstallation&, const FlatpakInstallation&) = default;
};

struct FlatpakLocations {
    std::filesystem::path userInstallation;
    std::filesystem::path systemInstallation;
    /// Folder of "*.conf" files naming extra installations.
    std::filesystem::path extraInstallationsConfig;
};

/// $FLATPAK_USER_DIR, else $XDG_DATA_HOME/flatpak; $FLATPAK_SYSTEM_DIR, else /var/lib/flatpak;
/// and /etc/flatpak/installations.d.
FlatpakLocations defaultFlatpakLocations(
    const EnvironmentLookup& environment = processEnvironment());

/// The user's installation, the system's, then the extra ones (files in name order, groups
/// `[Installation "NAME"]` with an absolute `Path=`; names other than letters, digits and
/// "._-" are skipped, as they could not be passed to the tool safely).
std::vector<FlatpakInstallation> flatpakInstallations(const FlatpakLocations& locations);

/// Whether `id` is deployed in `installation`: "app/<id>/current/active" exists.
bool isDeployed(const FlatpakInstallation& installation, const std::string& id);

/// The applications deployed in `installation`, by ID: runtimes, extensions (".Debug",
/// ".Locale", ".Sources") and anything without an [Application] group in its metadata are
/// skipped. Name from the exported desktop entry, else the metainfo, else the last ID
/// component; the icon from the exported hicolor icons; the size of the deployed files.
std::vector<PackagedApplication> flatpakApplications(const FlatpakInstallation& installation,
                                                     const support::CancellationToken& token);

/// The `<name>` of a metainfo (AppStream) document's component, untranslated; nothing when it
/// has none or is no well-formed XML.
std::optional<std::string> metainfoName(std::string_view xml);

}  // namespace quillo::platform
