#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/PackagedApplication.h"
#include "platform/Snapd.h"
#include "support/Result.h"

namespace quillo {

/// Removes a packaged application with its own package system and reports the outcome once,
/// from any thread.
using PackageRemoval = std::function<void(const platform::PackagedApplication& app,
                                          std::function<void(support::Status)> done)>;

struct PackageTools {
    std::filesystem::path flatpak = "/usr/bin/flatpak";
    platform::Snapd snapd = platform::systemSnapd();
    std::function<uid_t()> effectiveUser = [] { return ::geteuid(); };
};

/// "uninstall -y" with the app's installation ("--user", "--system" or
/// "--installation=NAME") and its ID. Never "--noninteractive": for a system installation it
/// would keep polkit from asking for the password, and the removal would fail.
std::vector<std::string> flatpakUninstallArguments(const platform::PackagedApplication& app);

/// The flatpak tool for Flatpaks (its message on failure, as when the user dismisses polkit's
/// dialog), snapd's API for snaps; both as the user who runs Quillo, never as root.
PackageRemoval packageRemoval(PackageTools tools);

}  // namespace quillo
