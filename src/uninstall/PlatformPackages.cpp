#include "uninstall/PlatformPackages.h"

#include "platform/ApplicationTermination.h"
#include "platform/PackagedApplications.h"
#include "platform/StandardDirectories.h"

namespace quillo {

AppUninstallService::PackageServices platformPackageServices() {
    const platform::PermissionStore store{platform::sessionBusAddress()};
    return {
        .list =
            [sources = platform::defaultPackageSources()](const support::CancellationToken& token) {
                return platform::installedPackagedApplications(sources, token);
            },
        .remove = packageRemoval({}),
        .permissionRows = [store](const std::string& id) { return store.rowsOf(id); },
        .removePermissionRows = [store](const std::string& id) { return store.removeRowsOf(id); },
        .quit = platform::quitPackagedApplication,
    };
}

UninstallLocations platformUninstallLocations() {
    return {
        .home = platform::homeFolder(),
        .systemLibrary = "/Library",
        .configHome = platform::configurationFolder(),
        .dataHome = platform::applicationSupportFolder(),
        .cacheHome = platform::cachesFolder(),
        .stateHome = platform::stateFolder(),
    };
}

}  // namespace quillo
