#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>

#include "model/DeletionError.h"
#include "platform/DirectoryListing.h"
#include "platform/FolderChain.h"
#include "platform/OpenedItemParts.h"

namespace quillo::platform {

namespace {

// No truncation, never through a final link, never blocking on a FIFO that slipped in after
// the type check, and no controlling terminal from a device that did.
constexpr int kWriteOpenFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

using Outcome = support::Result<OverwriteOutcome>;

support::Error writeFailure(int code) {
    return DeletionError::overwriteFailed(FileOperationError::reasonFor(code));
}

// Why a file of this status is not written, or nothing when it is to be.
std::optional<OverwriteOutcome> reasonNotToWrite(const FileStatus& status,
                                                 const FileStatus& itemStatus) {
    if (status.type != S_IFREG || !isOnMountOf(status, itemStatus)) {
        return OverwriteOutcome::notRegularFile;
    }
    if (status.linkCount > 1) {
        return OverwriteOutcome::sharedHardLink;
    }
    if (status.logicalSize.value_or(0) < 1) {
        return OverwriteOutcome::empty;
    }
    return std::nullopt;
}

// The outcome when opening the file failed with `error`.
Outcome outcomeOfFailedOpen(int error) {
    switch (error) {
        case ENOENT:
            return OverwriteOutcome::missing;
        case ELOOP:  // a link
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

// The next extent holding data at or after `offset`, as [start, end), or nothing after the last.
// A file system that cannot tell holes reports the whole file as data.
std::optional<std::pair<off_t, off_t>> nextDataExtent(int fd, off_t offset, off_t size) {
    const off_t start = ::lseek(fd, offset, SEEK_DATA);
    if (start < 0) {
        return errno == ENXIO ? std::nullopt : std::optional(std::pair{offset, size});
    }
    const off_t end = ::lseek(fd, start, SEEK_HOLE);
    return std::pair{start, end < 0 ? size : std::min(end, size)};
}

Outcome writePass(int fd, off_t size, const RandomFill& fill) {
    const std::size_t bufferSize = std::min(static_cast<std::size_t>(size), kOverwriteChunkSize);
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(bufferSize);
    for (off_t offset = 0; offset < size;) {
        const auto extent = nextDataExtent(fd, offset, size);
        if (!extent || extent->first >= size) {
            break;
        }
        for (offset = extent->first; offset < extent->second;) {
            const auto length =
                std::min(static_cast<std::size_t>(extent->second - offset), bufferSize);
            const std::span<unsigned char> chunk(buffer.get(), length);
            if (!fill(chunk)) {
                return DeletionError::randomBytesFailed();
            }
            if (const int error = writeAll(fd, chunk, offset); error != 0) {
                return writeFailure(error);
            }
            offset += static_cast<off_t>(length);
        }
    }
    // Whether the data reached the device changes nothing for the caller, who removes the file
    // next either way.
    ::fdatasync(fd);
    return OverwriteOutcome::overwritten;
}

// The entry's type from the listing, or from a status call where the file system gives none.
unsigned char entryType(int folderFd, const char* name, unsigned char listedType) {
    if (listedType != DT_UNKNOWN) {
        return listedType;
    }
    const std::optional<FileStatus> status = readFileStatus(folderFd, name);
    if (!status) {
        return DT_UNKNOWN;
    }
    if (status->type == S_IFREG) {
        return DT_REG;
    }
    return status->type == S_IFDIR ? DT_DIR : DT_UNKNOWN;
}

}  // namespace

Outcome overwriteEntry(int folderFd, const char* name, const FileStatus& itemStatus,
                       const std::optional<FileIdentity>& expected, const RandomFill& fill) {
    const std::optional<FileStatus> examined = readFileStatus(folderFd, name);
    if (!examined) {
        return OverwriteOutcome::missing;
    }
    if (const auto reason = reasonNotToWrite(*examined, itemStatus)) {
        return *reason;
    }
    if (expected && examined->identity != *expected) {
        return OverwriteOutcome::notRegularFile;
    }
    const FileDescriptor file(::openat(folderFd, name, kWriteOpenFlags));
    if (!file.valid()) {
        return outcomeOfFailedOpen(errno);
    }
    const std::optional<FileStatus> opened = readDescriptorStatus(file.get());
    if (!opened) {
        return writeFailure(errno);
    }
    if (const auto reason = reasonNotToWrite(*opened, itemStatus)) {
        return *reason;
    }
    if (opened->identity != examined->identity) {
        return OverwriteOutcome::notRegularFile;  // replaced between examining and opening
    }
    return writePass(file.get(), static_cast<off_t>(opened->logicalSize.value_or(0)), fill);
}

void overwriteFilesBelow(FileDescriptor folder, const FileStatus& itemStatus,
                         const RandomFill& fill) {
    FolderChain chain;
    if (chain.adoptRoot(std::move(folder)) != 0) {
        return;
    }
    const ListingBuffer buffer;
    while (!chain.empty()) {
        FolderChain::Folder& current = chain.current();
        if (!current.listed) {
            current.listed = true;
            const int fd = current.descriptor.get();
            forEachListedEntry(fd, buffer, [&](const char* name, unsigned char listedType) {
                if (name[0] == '.') {
                    return true;  // hidden
                }
                const unsigned char type = entryType(fd, name, listedType);
                if (type == DT_REG) {
                    (void)overwriteEntry(fd, name, itemStatus, std::nullopt, fill);
                } else if (type == DT_DIR) {
                    current.addPending(name);
                }
                return true;
            });
        } else if (current.hasPending()) {
            (void)chain.enter(current.takePending(), {});
        } else {
            chain.leave();
        }
    }
}

}  // namespace quillo::platform
