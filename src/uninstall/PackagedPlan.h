#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/PackagedApplication.h"
#include "platform/PermissionStore.h"
#include "support/CancellationToken.h"
#include "uninstall/PlanBuilding.h"
#include "uninstall/UninstallPlan.h"

namespace quillo {

/// The plan row that stands for the app's entries in the portals' permission store; its
/// location is the store's object path on the session bus.
inline constexpr char kPermissionStoreRow[] = "/org/freedesktop/impl/portal/PermissionStore";

/// The location the plan's row of the application itself names: a Flatpak's
/// "<installation>/app/<id>", a snap's "/snap/<name>".
std::filesystem::path packageLocation(const platform::PackagedApplication& app);

/// Where a packaged application keeps its data below the user's folders, in plan order. For a
/// Flatpak: ~/.var/app/<id>, <id> in the XDG config, data, cache and state homes, its
/// autostart entry, the user's override file and the portal's application entries
/// ("<id>.*"); for a snap: ~/snap/<name>. An ID that is no single path component gives none.
std::vector<std::filesystem::path> packagedResidueCandidates(
    const platform::PackagedApplication& app, const UninstallLocations& locations);

/// The plan: the application itself (removed by its package system, so it is irreversible),
/// its non-empty residues, and a row for the portal permissions when `rows` holds any.
UninstallPlan buildPackagedPlan(const platform::PackagedApplication& app,
                                const UninstallLocations& locations,
                                const std::vector<platform::PermissionStoreRow>& rows,
                                const support::CancellationToken& token);

}  // namespace quillo
