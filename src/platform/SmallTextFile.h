#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace quillo::platform {

/// The bytes of a short file such as those under /proc and /sys, at most `limit` of them;
/// nothing when the file cannot be opened or read. A final symbolic link is not followed.
std::optional<std::string> readSmallTextFile(const std::filesystem::path& path,
                                             std::size_t limit = std::size_t{64} * 1024);

}  // namespace quillo::platform
