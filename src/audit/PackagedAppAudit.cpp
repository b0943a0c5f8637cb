#include "audit/PackagedAppAudit.h"

namespace quillo {

PackagedAuditSources defaultPackagedAuditSources(const platform::EnvironmentLookup& environment) {
    auto packages = platform::defaultPackageSources(environment);
    FlatpakOverrideFolders overrides{
        .system = packages.flatpak.systemInstallation / "overrides",
        .user = packages.flatpak.userInstallation / "overrides",
    };
    return {.packages = std::move(packages),
            .overrides = std::move(overrides),
            .store = {platform::sessionBusAddress(environment)}};
}

AuditFindings auditPackagedApplications(const PackagedAuditSources& sources,
                                        const support::CancellationToken& token) {
    AuditFindings findings;
    for (const auto& app : platform::installedPackagedApplications(sources.packages, token)) {
        if (token.isCancelled()) {
            break;
        }
        ++findings.examined;
        auto declared =
            app.kind == platform::PackageKind::flatpak
                ? flatpakDeclarations(effectivePermissions(app, sources.overrides),
                                      sources.store.rowsOf(app.id))
                : snapDeclarations(sources.packages.snapd
                                       ? sources.packages.snapd->connectedInterfaces(app.id)
                                       : std::vector<std::string>{});
        if (!declared.empty()) {
            findings.apps.push_back({Uuid::random(), app.deployment, app.id, app.name,
                                     std::move(declared), app.installationLabel});
        }
    }
    return findings;
}

}  // namespace quillo
