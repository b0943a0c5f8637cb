#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "audit/FlatpakPermissions.h"
#include "audit/InstalledApp.h"
#include "platform/PackagedApplications.h"
#include "platform/PermissionStore.h"
#include "support/CancellationToken.h"

namespace quillo {

/// What an audit of some applications found, and how many it looked at: an empty list of a
/// search that examined nothing says nothing about access.
struct AuditFindings {
    std::vector<InstalledApp> apps;
    std::size_t examined = 0;
};

struct PackagedAuditSources {
    platform::PackageSources packages;
    FlatpakOverrideFolders overrides;
    platform::PermissionStore store;
};

/// This machine's sources: every Flatpak installation with the system's and the user's
/// overrides, snapd, and the permission store on the session bus.
PackagedAuditSources defaultPackagedAuditSources(
    const platform::EnvironmentLookup& environment = platform::processEnvironment());

/// Every installed Flatpak with its effective permissions and portal rows, every snap with its
/// connected interfaces; those with at least one declaration are listed. `url` is where the app
/// is deployed, `bundleID` its ID, `installation` where it is installed.
AuditFindings auditPackagedApplications(const PackagedAuditSources& sources,
                                        const support::CancellationToken& token);

}  // namespace quillo
