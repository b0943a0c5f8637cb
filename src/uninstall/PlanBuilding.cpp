#include "uninstall/PlanBuilding.h"

#include "modules/FileCleaningModule.h"
#include "modules/FilesystemEnumeration.h"
#include "platform/ApplicationBundle.h"
#include "platform/PathText.h"
#include "uninstall/ResidueCandidates.h"

namespace quillo {

namespace {

/// Every row of a plan is preselected: the user chose to remove the application.
CleanableItem planItem(const FilesystemEntry& entry, std::string displayName,
                       std::vector<CleanableItemWarning> warnings) {
    return offeredItem(entry, CleaningModuleID::applicationResidual, std::move(displayName),
                       std::move(warnings), true);
}

}  // namespace

std::string homeAbbreviatedPath(const std::filesystem::path& path,
                                const std::filesystem::path& home) {
    const std::string homeText = platform::withoutTrailingSlashes(home.native());
    const std::string& text = path.native();
    if (homeText.empty() || homeText == "/" || !text.starts_with(homeText)) {
        return text;
    }
    if (text.size() == homeText.size()) {
        return "~";
    }
    if (text[homeText.size()] != '/') {
        return text;
    }
    return "~" + text.substr(homeText.size());
}

std::optional<UninstallPlan> buildUninstallPlan(const std::filesystem::path& bundleURL,
                                                const UninstallLocations& locations,
                                                const support::CancellationToken& token) {
    const std::filesystem::path bundle(platform::withoutTrailingSlashes(bundleURL.native()));
    if (!platform::hasApplicationExtension(bundle)) {
        return std::nullopt;
    }
    const auto info = platform::readInfoDictionary(bundle);
    auto identifier = info ? platform::bundleIdentifier(*info) : std::nullopt;
    if (!identifier) {
        return std::nullopt;
    }
    UninstallPlan plan{
        .id = Uuid::random(),
        .appURL = bundle,
        .bundleID = std::move(*identifier),
        .displayName = platform::bundleDisplayName(*info, bundle),
        .items = {},
    };
    if (const auto entry = makeEntry(bundle, token)) {
        plan.items.push_back(
            planItem(*entry, plan.displayName + ".app", {CleanableItemWarning::irreversible}));
    }
    const auto candidates =
        residueCandidates(locations.home, locations.systemLibrary, plan.bundleID, plan.displayName);
    for (const auto& candidate : candidates) {
        if (token.isCancelled()) {
            break;
        }
        if (candidate.lexically_normal() == bundle.lexically_normal()) {
            continue;
        }
        const auto entry = makeEntry(candidate, token);
        if (entry && entry->sizeInBytes >= 1) {
            plan.items.push_back(
                planItem(*entry, homeAbbreviatedPath(entry->url, locations.home), {}));
        }
    }
    return plan;
}

}  // namespace quillo
