#pragma once

#include <optional>
#include <string>

namespace quillo::platform {

/// Where the file open as `fd` lies now, as an absolute path with every link resolved; nothing
/// where the system cannot tell.
std::optional<std::string> descriptorPath(int fd);

}  // namespace quillo::platform
