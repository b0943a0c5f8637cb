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

ModuleLocations linuxLocations(const LocationFacts& facts) {
    const auto& environment = facts.environment;
    const auto home = platform::homeFolder(environment);
    const auto& system = facts.systemRoot;
    const auto userCaches = platform::cachesFolder(environment);
    ModuleLocations locations{
        .cacheRoots = {userCaches, system / "var/cache"},
        .excludedCacheEntries = {},
        .logRoots = {platform::stateFolder(environment), system / "var/log"},
        .tempRoots = {system / "tmp"},
        // The age after which the system's own temp clean-up (systemd-tmpfiles) may remove an
        // entry: younger ones are left to the programs that made them.
        .tempRecentWindow = std::chrono::hours(24),
        .sleepImage = std::nullopt,
        .reportRoots = {system / "var/crash"},
        .deepReportRoots = {system / "var/lib/systemd/coredump"},
        .residualRoots =
            {
                ResidualRoot{.url = home / ".var/app",
                             .nameRule = ResidualNameRule::applicationID,
                             .isSafeToDeleteByDefault = true},
                ResidualRoot{.url = platform::configurationFolder(environment),
                             .nameRule = ResidualNameRule::applicationID,
                             .isSafeToDeleteByDefault = false},
                ResidualRoot{.url = platform::applicationSupportFolder(environment),
                             .nameRule = ResidualNameRule::applicationID,
                             .isSafeToDeleteByDefault = false},
            },
        .fontRoots = {userCaches / "fontconfig", system / "var/cache/fontconfig"},
    };
    // $TMPDIR, when set, names the process's own temporary folder; one inside the shared
    // folders is walked with them already, and a second root would offer its contents twice.
    // One that must never be deleted (the home folder, "/", a system folder) is no temp root,
    // whatever the variable says: everything in it would be offered as leftovers.
    if (const char* variable = environment("TMPDIR"); variable != nullptr && variable[0] == '/') {
        const std::filesystem::path processTemp = variable;
        const auto sharedTemps = {system / "tmp", system / "var/tmp"};
        if (!platform::refusalReason(processTemp, home) &&
            std::ranges::none_of(sharedTemps, [&](const auto& shared) {
                return isAtOrBelow(processTemp, shared);
            })) {
            locations.tempRoots.push_back(processTemp);
        }
    }
    locations.tempRoots.push_back(system / "var/tmp");
    // The same for the caches and state folders the variables name: a root set to the home
    // folder would offer all of it.
    for (auto* roots : {&locations.cacheRoots, &locations.logRoots}) {
        if (platform::refusalReason(roots->front(), home)) {
            roots->erase(roots->begin());
        }
    }
    locations.excludedCacheEntries = locations.fontRoots;
    for (auto& entry : platform::protectedSystemCacheEntries(system)) {
        locations.excludedCacheEntries.push_back(std::move(entry));
    }
    return locations;
}

ModuleLocations platformLocations() {
#if defined(__APPLE__)
    return macOSLocations({});
#else
    return linuxLocations({});
#endif
}

}  // namespace quillo
