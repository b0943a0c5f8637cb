#pragma once

#include <optional>
#include <vector>

#include "platform/FlatpakInstallations.h"
#include "platform/PackagedApplication.h"
#include "platform/Snapd.h"
#include "support/CancellationToken.h"

namespace quillo::platform {

/// Where packaged applications are looked for.
struct PackageSources {
    FlatpakLocations flatpak;
    /// None where snaps are not asked for.
    std::optional<Snapd> snapd;
};

/// This machine's: the default Flatpak locations and snapd's socket.
PackageSources defaultPackageSources(const EnvironmentLookup& environment = processEnvironment());

/// The Flatpaks of every installation and the snaps, sorted by lower-cased name, then ID and
/// installation; an app installed twice (user and system) is listed twice.
std::vector<PackagedApplication> installedPackagedApplications(
    const PackageSources& sources, const support::CancellationToken& token);

}  // namespace quillo::platform
