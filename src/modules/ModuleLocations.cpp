#include "modules/ModuleLocations.h"

#include <algorithm>

#include "platform/ProtectedCaches.h"
#include "platform/SafeFileOperations.h"

namespace quillo {

namespace {

// Whether `path` is `folder` or lies below it, by their names alone.
bool isAtOrBelow(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const auto relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
    return !relative.empty() && *relative.begin() != "..";
}

// The caches module never offers what another module owns (the font caches) or what only looks
// like a cache.
void excludeOwnedCacheEntries(ModuleLocations& locations, const std::filesystem::path& system) {
    locations.excludedCacheEntries = locations.fontRoots;
    for (auto& entry : platform::protectedSystemCacheEntries(system)) {
        locations.excludedCacheEntries.push_back(std::move(entry));
    }
}

}  // namespace

ModuleLocations macOSLocations(const LocationFacts& facts) {
    const auto home = platform::homeFolder(facts.environment);
    const auto& system = facts.systemRoot;
    ModuleLocations locations{
        .cacheRoots = {home / "Library/Caches", system / "Library/Caches"},
        .excludedCacheEntries = {},
        .logRoots = {home / "Library/Logs", system / "Library/Logs", system / "private/var/log"},
        .tempRoots = {system / "private/tmp", platform::temporaryFolder(facts.environment)},
        .tempRecentWindow = std::nullopt,
        .sleepImage = system / "private/var/vm/sleepimage",
        .reportRoots = {home / "Library/Logs/DiagnosticReports",
                        system / "Library/Logs/DiagnosticReports"},
        .deepReportRoots = {home / "Library/DeveloperDiagnostics",
                            home / "Library/Logs/CrashReporter",
                            system / "Library/Logs/CrashReporter"},
        .residualRoots = {ResidualRoot{.url = home / "Library/Application Support",
                                       .nameRule = ResidualNameRule::bundleIdentifier,
                                       .isSafeToDeleteByDefault = true}},
        .fontRoots = {home / "Library/Caches/com.apple.ATS",
                      system / "Library/Caches/com.apple.ATS"},
    };
    locations.excludedCacheEntries = locations.fontRoots;
    return locations;
}

ModuleLocations linuxSystemLocations(const std::filesystem::path& system) {
    ModuleLocations locations{
        .cacheRoots = {system / "var/cache"},
        .excludedCacheEntries = {},
        .logRoots = {system / "var/log"},
        .journalFolders = {system / "var/log/journal", system / "run/log/journal"},
        .tempRoots = {system / "tmp", system / "var/tmp"},
        // The age after which the system's own temp clean-up (systemd-tmpfiles) may remove an
        // entry: younger ones are left to the programs that made them.
        .tempRecentWindow = std::chrono::hours(24),
        .sleepImage = std::nullopt,
        .reportRoots = {system / "var/crash"},
        .deepReportRoots = {system / "var/lib/systemd/coredump"},
        .residualRoots = {},
        .fontRoots = {system / "var/cache/fontconfig"},
    };
    excludeOwnedCacheEntries(locations, system);
    return locations;
}

ModuleLocations linuxLocations(const LocationFacts& facts) {
    const auto& environment = facts.environment;
    const auto home = platform::homeFolder(environment);
    const auto& system = facts.systemRoot;
    const auto userCaches = platform::cachesFolder(environment);
    auto locations = linuxSystemLocations(system);
    // The user's own folders come first, before the system's.
    locations.cacheRoots.insert(locations.cacheRoots.begin(), userCaches);
    locations.logRoots.insert(locations.logRoots.begin(), platform::stateFolder(environment));
    locations.fontRoots.insert(locations.fontRoots.begin(), userCaches / "fontconfig");
    locations.residualRoots = {
        ResidualRoot{.url = home / ".var/app",
                     .nameRule = ResidualNameRule::applicationID,
                     .isSafeToDeleteByDefault = true},
        ResidualRoot{.url = platform::configurationFolder(environment),
                     .nameRule = ResidualNameRule::applicationID,
                     .isSafeToDeleteByDefault = false},
        ResidualRoot{.url = platform::applicationSupportFolder(environment),
                     .nameRule = ResidualNameRule::applicationID,
                     .isSafeToDeleteByDefault = false},
    };
    // $TMPDIR, when set, names the process's own temporary folder; one inside the shared
    // folders is walked with them already, and a second root would offer its contents twice.
    // One that must never be deleted (the home folder, "/", a system folder) is no temp root,
    // whatever the variable says: everything in it would be offered as leftovers.
    if (const char* variable = environment("TMPDIR"); variable != nullptr && variable[0] == '/') {
        const std::filesystem::path processTemp = variable;
        if (!platform::refusalReason(processTemp, home) &&
            std::ranges::none_of(locations.tempRoots, [&](const auto& shared) {
                return isAtOrBelow(processTemp, shared);
            })) {
            locations.tempRoots.insert(locations.tempRoots.begin() + 1, processTemp);
        }
    }
    // The same for the caches and state folders the variables name: a root set to the home
    // folder would offer all of it.
    for (auto* roots : {&locations.cacheRoots, &locations.logRoots}) {
        if (platform::refusalReason(roots->front(), home)) {
            roots->erase(roots->begin());
        }
    }
    excludeOwnedCacheEntries(locations, system);
    return locations;
}

std::vector<std::filesystem::path> moduleRoots(const ModuleLocations& locations,
                                               CleaningModuleID id) {
    std::vector<std::filesystem::path> roots;
    const auto areas = deletionAreas(locations);
    if (const auto found = areas.find(id); found != areas.end()) {
        for (const platform::DeletionArea& area : found->second) {
            roots.push_back(area.path);
        }
    }
    return roots;
}

std::map<CleaningModuleID, std::vector<platform::DeletionArea>> deletionAreas(
    const ModuleLocations& locations) {
    const auto areas = [](const auto& roots, bool includesItself) {
        std::vector<platform::DeletionArea> made;
        made.reserve(roots.size());
        for (const std::filesystem::path& root : roots) {
            made.push_back({.path = root, .includesItself = includesItself});
        }
        return made;
    };
    std::vector<std::filesystem::path> reportRoots = locations.reportRoots;
    reportRoots.insert(reportRoots.end(), locations.deepReportRoots.begin(),
                       locations.deepReportRoots.end());
    std::vector<std::filesystem::path> residualRoots;
    for (const ResidualRoot& root : locations.residualRoots) {
        residualRoots.push_back(root.url);
    }
    std::vector<std::filesystem::path> sleepImage;
    if (locations.sleepImage) {
        sleepImage.push_back(*locations.sleepImage);
    }
    // The font caches module offers its roots themselves, the sleep image module its one file.
    return {
        {CleaningModuleID::systemCaches, areas(locations.cacheRoots, false)},
        {CleaningModuleID::systemLogs, areas(locations.logRoots, false)},
        {CleaningModuleID::tempFiles, areas(locations.tempRoots, false)},
        {CleaningModuleID::sleepImage, areas(sleepImage, true)},
        {CleaningModuleID::diagnosticReports, areas(reportRoots, false)},
        {CleaningModuleID::applicationResidual, areas(residualRoots, false)},
        {CleaningModuleID::fontCache, areas(locations.fontRoots, true)},
    };
}

}  // namespace quillo
