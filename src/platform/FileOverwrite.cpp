#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>

#include "model/DeletionError.h"
#include "platform/FileDescriptor.h"
#include "platform/PathText.h"
#include "platform/SafeFileOperations.h"

namespace quillo::platform {

namespace {

// No truncation, never through a final link, never blocking on a FIFO that slipped in after
// the type check, and no controlling terminal from a device that did.
constexpr int kWriteOpenFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
// Steps through the folders between a directory item and one of its files; searching them is
// all that is needed.
constexpr int kFolderStepFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

using Outcome = support::Result<OverwriteOutcome>;

support::Error writeFailure(int code) {
    return DeletionError::overwriteFailed(FileOperationError::reasonFor(code));
}

// Why a file of this status is not written, or nothing when it is to be.
std::optional<OverwriteOutcome> reasonNotToWrite(const struct stat& status) {
    if (!S_ISREG(status.st_mode)) {
        return OverwriteOutcome::notRegularFile;
    }
    if (status.st_nlink > 1) {
        return OverwriteOutcome::sharedHardLink;
    }
    if (status.st_size < 1) {
        return OverwriteOutcome::empty;
    }
    return std::nullopt;
}

// The outcome when opening the file, or a folder on the way to it, failed with `error`.
Outcome outcomeOfFailedOpen(int error) {
    switch (error) {
        case ENOENT:
            return OverwriteOutcome::missing;
        case ELOOP:    // a link
        case ENOTDIR:  // a link or a file where a folder was
        case EISDIR:
        case ENXIO:  // a FIFO without reader, a socket or a device without driver
            return OverwriteOutcome::notRegularFile;
        default:
            return writeFailure(error);
    }
}

// Returns 0 or the errno of the failed write.
int writeAll(int fd, std::span<const unsigned char> bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        offset += written;
    }
    return 0;
}

Outcome writePass(int fd, off_t size, const RandomFill& fill) {
    const std::size_t bufferSize = std::min(static_cast<std::size_t>(size), kOverwriteChunkSize);
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(bufferSize);
    for (off_t offset = 0; offset < size;) {
        const std::size_t length = std::min(static_cast<std::size_t>(size - offset), bufferSize);
        const std::span<unsigned char> chunk(buffer.get(), length);
        if (!fill(chunk)) {
            return DeletionError::randomBytesFailed();
        }
        if (const int error = writeAll(fd, chunk, offset); error != 0) {
            return writeFailure(error);
        }
        offset += static_cast<off_t>(length);
    }
    // Whether the data reached the device changes nothing for the caller, who removes the file
    // next either way.
    ::fdatasync(fd);
    return OverwriteOutcome::overwritten;
}

// One pass over the entry `name` of the folder open as `folderFd` (AT_FDCWD for a path). The
// type is checked before opening, so that nothing else is ever opened for writing, and again
// on the opened descriptor, in case the entry was replaced in between.
Outcome overwriteEntry(int folderFd, const char* name, const RandomFill& fill) {
    struct stat examined {};
    if (::fstatat(folderFd, name, &examined, AT_SYMLINK_NOFOLLOW) != 0) {
        return OverwriteOutcome::missing;
    }
    if (const auto reason = reasonNotToWrite(examined)) {
        return *reason;
    }
    const FileDescriptor file(::openat(folderFd, name, kWriteOpenFlags));
    if (!file.valid()) {
        return outcomeOfFailedOpen(errno);
    }
    struct stat opened {};
    if (::fstat(file.get(), &opened) != 0) {
        return writeFailure(errno);
    }
    if (const auto reason = reasonNotToWrite(opened)) {
        return *reason;
    }
    return writePass(file.get(), opened.st_size, fill);
}

}  // namespace

Outcome overwriteFileOnce(const std::filesystem::path& file, const RandomFill& fill) {
    return overwriteEntry(AT_FDCWD, withoutTrailingSlashes(file.native()).c_str(), fill);
}

Outcome overwriteFileBelow(const std::filesystem::path& root, const std::filesystem::path& file,
                           const RandomFill& fill) {
    const auto below = componentsBelow(root.native(), file.native());
    if (!below) {
        return OverwriteOutcome::missing;
    }
    FileDescriptor folder(::open(withoutTrailingSlashes(root.native()).c_str(), kFolderStepFlags));
    if (!folder.valid()) {
        return outcomeOfFailedOpen(errno);
    }
    for (std::size_t index = 0; index + 1 < below->size(); ++index) {
        FileDescriptor next(
            ::openat(folder.get(), std::string((*below)[index]).c_str(), kFolderStepFlags));
        if (!next.valid()) {
            return outcomeOfFailedOpen(errno);
        }
        folder = std::move(next);
    }
    return overwriteEntry(folder.get(), std::string(below->back()).c_str(), fill);
}

}  // namespace quillo::platform
