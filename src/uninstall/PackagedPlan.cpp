#include "uninstall/PackagedPlan.h"

#include "modules/FileCleaningModule.h"
#include "modules/FilesystemEnumeration.h"
#include "platform/DirectoryWalker.h"
#include "uninstall/ResidueCandidates.h"

namespace quillo {

namespace {

CleanableItem planRow(std::filesystem::path url, std::string displayName, std::int64_t size,
                      std::vector<CleanableItemWarning> warnings) {
    return CleanableItem{
        .id = Uuid::random(),
        .url = std::move(url),
        .displayName = std::move(displayName),
        .sizeInBytes = size,
        .lastModified = {},
        .moduleID = CleaningModuleID::applicationResidual,
        .warnings = std::move(warnings),
        .isSafeToDeleteByDefault = true,
    };
}

std::string packageLabel(const platform::PackagedApplication& app) {
    if (app.kind == platform::PackageKind::snap) {
        return app.name + " (Snap)";
    }
    return app.name + " (Flatpak, " + app.installationLabel + ")";
}

}  // namespace

std::filesystem::path packageLocation(const platform::PackagedApplication& app) {
    return app.kind == platform::PackageKind::snap ? app.deployment.parent_path()
                                                   : app.installationPath / "app" / app.id;
}

std::vector<std::filesystem::path> packagedResidueCandidates(
    const platform::PackagedApplication& app, const UninstallLocations& locations) {
    std::vector<std::filesystem::path> candidates;
    const auto& id = app.id;
    if (!isSinglePathComponent(id) || !locations.home.is_absolute()) {
        return candidates;
    }
    if (app.kind == platform::PackageKind::snap) {
        candidates.push_back(locations.home / "snap" / id);
        return candidates;
    }
    candidates.push_back(locations.home / ".var/app" / id);
    for (const auto* folder :
         {&locations.configHome, &locations.dataHome, &locations.cacheHome, &locations.stateHome}) {
        if (!folder->empty()) {
            candidates.push_back(*folder / id);
        }
    }
    if (!locations.configHome.empty()) {
        candidates.push_back(locations.configHome / "autostart" / (id + ".desktop"));
    }
    if (!locations.dataHome.empty()) {
        candidates.push_back(locations.dataHome / "flatpak/overrides" / id);
        const auto portal = locations.dataHome / "xdg-desktop-portal/applications";
        platform::listDirectory(portal, [&](std::string_view name) {
            if (name.starts_with(id + ".")) {
                candidates.push_back(portal / name);
            }
        });
    }
    return candidates;
}

UninstallPlan buildPackagedPlan(const platform::PackagedApplication& app,
                                const UninstallLocations& locations,
                                const std::vector<platform::PermissionStoreRow>& rows,
                                const support::CancellationToken& token) {
    const auto location = packageLocation(app);
    UninstallPlan plan{
        .id = Uuid::random(),
        .appURL = location,
        .bundleID = app.id,
        .displayName = app.name,
        .items = {},
        .package = app,
    };
    plan.items.push_back(planRow(location, packageLabel(app), app.sizeInBytes,
                                 {CleanableItemWarning::irreversible}));
    for (const auto& candidate : packagedResidueCandidates(app, locations)) {
        if (token.isCancelled()) {
            break;
        }
        const auto entry = makeEntry(candidate, token);
        if (entry && entry->sizeInBytes >= 1) {
            plan.items.push_back(offeredItem(*entry, CleaningModuleID::applicationResidual,
                                             homeAbbreviatedPath(entry->url, locations.home), {},
                                             true));
        }
    }
    if (!rows.empty()) {
        std::string tables;
        for (const auto& row : rows) {
            tables += (tables.empty() ? "" : ", ") + row.table;
        }
        plan.items.push_back(
            planRow(kPermissionStoreRow, "Portal-Berechtigungen (" + tables + ")", 0, {}));
    }
    return plan;
}

}  // namespace quillo
