#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "support/CancellationToken.h"
#include "uninstall/UninstallPlan.h"

namespace quillo {

/// The folders an uninstall plan looks into.
struct UninstallLocations {
    std::filesystem::path home;
    std::filesystem::path systemLibrary = "/Library";
    /// The XDG base folders a packaged application's data may lie in; empty ones are not
    /// looked into.
    std::filesystem::path configHome{};
    std::filesystem::path dataHome{};
    std::filesystem::path cacheHome{};
    std::filesystem::path stateHome{};
};

/// `path` as the user reads it: a leading home folder `home` written as "~" (whole components
/// only), any other path in full.
std::string homeAbbreviatedPath(const std::filesystem::path& path,
                                const std::filesystem::path& home);

/// The plan for the bundle at `bundleURL`, or nothing when it is not an application bundle
/// with an identifier. Reads only. A cancelled `token` cuts the sizing short; the caller then
/// drops the plan.
std::optional<UninstallPlan> buildUninstallPlan(const std::filesystem::path& bundleURL,
                                                const UninstallLocations& locations,
                                                const support::CancellationToken& token);

}  // namespace quillo
