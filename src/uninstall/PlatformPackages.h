#pragma once

#include "uninstall/AppUninstallService.h"

namespace quillo {

/// This machine's packaged applications: every Flatpak installation and snapd, the flatpak
/// tool and snapd's API for removal, the permission store on the session bus, and the quit
/// request by sandbox.
AppUninstallService::PackageServices platformPackageServices();

/// The user's home with the XDG base folders, and "/Library".
UninstallLocations platformUninstallLocations();

}  // namespace quillo
