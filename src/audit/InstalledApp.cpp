#include "audit/InstalledApp.h"

#include <algorithm>

#include "support/Hashing.h"

namespace quillo {

bool InstalledApp::declares(PrivacyPermission permission) const {
    return std::any_of(declaredPermissions.begin(), declaredPermissions.end(),
                       [permission](const DeclaredPermission& declaration) {
                           return declaration.permission == permission;
                       });
}

}  // namespace quillo

std::size_t std::hash<quillo::DeclaredPermission>::operator()(
    const quillo::DeclaredPermission& declaration) const noexcept {
    return quillo::support::hashAll(declaration.id, declaration.permission,
                                    declaration.usageDescription);
}

std::size_t std::hash<quillo::InstalledApp>::operator()(
    const quillo::InstalledApp& app) const noexcept {
    return quillo::support::hashAll(
        app.id, std::filesystem::hash_value(app.url), app.bundleID, app.displayName,
        quillo::support::hashSequence(app.declaredPermissions), app.installation);
}
