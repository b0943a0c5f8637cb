#include <fcntl.h>
#include <sys/param.h>

#include <array>
#include <string>

#include "platform/DescriptorPath.h"

namespace quillo::platform {

std::optional<std::string> descriptorPath(int fd) {
    std::array<char, MAXPATHLEN> path{};
    if (::fcntl(fd, F_GETPATH, path.data()) != 0 || path[0] != '/') {
        return std::nullopt;
    }
    return std::string(path.data());
}

}  // namespace quillo::platform
