#include <unistd.h>

#include <array>
#include <climits>
#include <string>

#include "platform/DescriptorPath.h"

namespace quillo::platform {

std::optional<std::string> descriptorPath(int fd) {
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    std::array<char, PATH_MAX> target{};
    const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
    // A truncated answer, or one that is no path (a descriptor of no file), says nothing.
    if (length <= 0 || static_cast<std::size_t>(length) == target.size() || target[0] != '/') {
        return std::nullopt;
    }
    return std::string(target.data(), static_cast<std::size_t>(length));
}

}  // namespace quillo::platform
