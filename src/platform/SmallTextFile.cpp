#include "platform/SmallTextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/FileDescriptor.h"

namespace quillo::platform {

std::optional<std::string> readSmallTextFile(const std::filesystem::path& path, std::size_t limit) {
    // O_NONBLOCK keeps a FIFO planted at the path from blocking the open.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!file.valid()) {
        return std::nullopt;
    }
    std::string contents;
    char buffer[4096];
    while (contents.size() < limit) {
        const auto wanted = std::min(sizeof buffer, limit - contents.size());
        const ssize_t count = ::read(file.get(), buffer, wanted);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
    }
    return contents;
}

}  // namespace quillo::platform
