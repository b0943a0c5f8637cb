#include "platform/PackagedApplications.h"

#include <algorithm>
#include <tuple>

#include "support/TextPieces.h"

namespace quillo::platform {

PackageSources defaultPackageSources(const EnvironmentLookup& environment) {
    return {.flatpak = defaultFlatpakLocations(environment), .snapd = systemSnapd()};
}

std::vector<PackagedApplication> installedPackagedApplications(
    const PackageSources& sources, const support::CancellationToken& token) {
    std::vector<PackagedApplication> applications;
    for (const auto& installation : flatpakInstallations(sources.flatpak)) {
        auto found = flatpakApplications(installation, token);
        applications.insert(applications.end(), std::make_move_iterator(found.begin()),
                            std::make_move_iterator(found.end()));
    }
    if (sources.snapd && !token.isCancelled()) {
        auto snaps = sources.snapd->applications();
        applications.insert(applications.end(), std::make_move_iterator(snaps.begin()),
                            std::make_move_iterator(snaps.end()));
    }
    std::ranges::stable_sort(applications, [](const auto& left, const auto& right) {
        return std::tuple(support::asciiLowercased(left.name), left.id, left.installation) <
               std::tuple(support::asciiLowercased(right.name), right.id, right.installation);
    });
    return applications;
}

}  // namespace quillo::platform
