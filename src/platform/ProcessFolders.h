#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace quillo::platform {

/// Calls `visit` with the folder of every process listed in `procRoot` (a /proc tree), in
/// listing order; a tree that cannot be listed visits nothing.
void forEachProcessFolder(const std::filesystem::path& procRoot,
                          const std::function<void(const std::filesystem::path&)>& visit);

/// Whether the process of `processFolder` belongs to user `uid` (the folder's owner).
bool isProcessOwnedBy(const std::filesystem::path& processFolder, uid_t uid);

/// The target of a process's link such as "exe", "cwd" or "fd/3", without the kernel's
/// " (deleted)" mark; none when it cannot be read.
std::optional<std::filesystem::path> processLinkTarget(const std::filesystem::path& link);

/// The target text of a process's link as the kernel reads it out, without a final
/// " (deleted)".
std::string withoutDeletedMark(std::string target);

}  // namespace quillo::platform
