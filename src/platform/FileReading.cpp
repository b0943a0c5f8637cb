#include "platform/FileReading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/FileDescriptor.h"

namespace quillo::platform {

namespace {

support::Error readError(std::string reason) {
    return support::Error::make(FileReadError(std::move(reason)));
}

support::Error tooLarge() {
    return readError("Datei zu groß");
}

support::Error notRegular() {
    return readError("keine gewöhnliche Datei");
}

support::Result<std::optional<std::string>> readOpened(const std::filesystem::path& file, int flags,
                                                       std::size_t maxBytes) {
    const FileDescriptor descriptor(
        ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | flags));
    if (!descriptor.valid()) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::optional<std::string>();
        }
        // Only O_NOFOLLOW meeting a link at the end of the path gives ELOOP here.
        return errno == ELOOP ? notRegular() : readError(std::strerror(errno));
    }
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0) {
        return readError(std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        return notRegular();
    }
    const auto statedSize = static_cast<std::size_t>(status.st_size);
    if (statedSize > maxBytes) {
        return tooLarge();
    }
    std::string contents;
    contents.reserve(statedSize);
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t count = ::read(descriptor.get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return readError(std::strerror(errno));
        }
        if (count == 0) {
            return std::optional<std::string>(std::move(contents));
        }
        if (static_cast<std::size_t>(count) > maxBytes - contents.size()) {
            return tooLarge();
        }
        contents.append(buffer.data(), static_cast<std::size_t>(count));
    }
}

}  // namespace

support::Result<std::optional<std::string>> readWholeFile(const std::filesystem::path& file,
                                                          std::size_t maxBytes) {
    return readOpened(file, 0, maxBytes);
}

support::Result<std::optional<std::string>> readRegularFile(const std::filesystem::path& file) {
    // Checked before opening, as opening a device can have effects; the descriptor's own check
    // still decides when the entry was replaced in between.
    struct stat status {};
    if (::lstat(file.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        return notRegular();
    }
    return readOpened(file, O_NOFOLLOW, std::numeric_limits<std::size_t>::max());
}

}  // namespace quillo::platform
