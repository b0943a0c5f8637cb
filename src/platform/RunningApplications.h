#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace quillo::platform {

/// What identifies the running applications of user `uid` on Linux, read from a /proc tree
/// (`procRoot`): for every process owned by `uid`, its command name ("comm", which the kernel
/// cuts to 15 bytes) and the file name of its executable ("exe" without a " (deleted)" mark);
/// for a sandboxed Flatpak app also its application ID, from FLATPAK_ID in the process's
/// environment or the "name" of the [Application] group in /.flatpak-info of its root.
/// Processes that vanish or cannot be read while the tree is walked are passed over.
std::set<std::string> readRunningApplicationIdentifiers(const std::filesystem::path& procRoot,
                                                        uid_t uid);

/// The command name a process's "comm" file holds: its text without the final newline.
std::string commandNameInComm(std::string_view comm);

/// The value of FLATPAK_ID in a process's "environ" (NUL-separated assignments); nothing when
/// it is not set.
std::optional<std::string> flatpakIdInEnvironment(std::string_view environment);

/// The "name" key of the [Application] group of a Flatpak sandbox's ".flatpak-info"; nothing
/// when there is none.
std::optional<std::string> flatpakIdInInfo(std::string_view info);

/// `readRunningApplicationIdentifiers` of /proc for the current user, answered at once on the
/// caller's thread; a provider of the modules' `runningBundleIDs`.
void runningApplicationIdentifiers(const std::function<void(std::set<std::string>)>& answer);

}  // namespace quillo::platform
