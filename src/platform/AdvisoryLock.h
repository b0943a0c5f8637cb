#pragma once

#include <filesystem>

namespace quillo::platform {

/// Whether another holder keeps an advisory lock (`flock`, shared or exclusive) on the regular
/// file at `path`: an exclusive lock is tried without waiting and released at once. Anything
/// that is not a regular file, or cannot be opened, counts as not locked; links are not
/// followed, and devices and pipes are never opened.
bool isLockedByAnotherHolder(const std::filesystem::path& path);

}  // namespace quillo::platform
