#pragma once

#include "helper/HelperExchange.h"
#include "modules/DefaultModuleSet.h"

namespace quillo {

/// The route through `pkexec <helper>`: scans of the system folders when
/// `includeSystemFolders` says so, and deletion of the items that need administrator rights.
ElevatedRouteMaker helperRoute(HelperLaunch launch, support::Provider<bool> includeSystemFolders);

}  // namespace quillo
