#pragma once

#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/PackagedApplication.h"

namespace quillo::platform {

/// Where processes are looked for and how they are asked to quit.
struct ProcessTermination {
    /// A /proc tree.
    std::filesystem::path procRoot = "/proc";
    /// Only this user's processes are asked.
    uid_t uid = ::getuid();
    /// Never asked, whatever it runs.
    pid_t ownPid = ::getpid();
    /// The platform's kill.
    std::function<int(pid_t, int)> sendSignal = [](pid_t pid, int signal) {
        return ::kill(pid, signal);
    };
};

/// The process ID a /proc folder is named by; nothing for a name that is no decimal number.
std::optional<pid_t> processID(const std::filesystem::path& processFolder);

/// The application bundle an executable lies in: the nearest folder above it whose extension
/// is "app"; nothing when there is none.
std::optional<std::filesystem::path> enclosingBundle(const std::filesystem::path& executable);

/// Asks every process of `termination.uid` whose executable lies in an application bundle (the
/// nearest folder above it whose extension is "app") whose identifier is exactly `bundleID` to
/// quit, with SIGTERM and never anything stronger; this
/// process is never asked, and an empty identifier asks nobody. Returns the processes asked.
std::vector<pid_t> terminateApplications(const std::string& bundleID,
                                         const ProcessTermination& termination = {});

/// Asks the running instances of a packaged application to quit, as `terminateApplications`
/// does: a Flatpak's processes by the application name in their sandbox's "/.flatpak-info",
/// a snap's by an executable below "/snap/<name>/".
std::vector<pid_t> terminatePackagedApplication(const PackagedApplication& app,
                                                const ProcessTermination& termination = {});

/// `terminatePackagedApplication` for the current user, then `done`, on the caller's thread.
void quitPackagedApplication(const PackagedApplication& app, const std::function<void()>& done);

/// The uninstaller's quit request on this platform: `terminateApplications` for the current
/// user, then `done`, on the caller's thread.
void quitRunningApplications(const std::string& bundleID, const std::function<void()>& done);

}  // namespace quillo::platform
