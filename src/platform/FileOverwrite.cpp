#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <variant>

#include "model/DeletionError.h"
#include "platform/DataChunks.h"
#include "platform/DirectoryListing.h"
#include "platform/FolderChain.h"
#include "platform/OpenedItemParts.h"
#include "platform/RandomChunkPipeline.h"
#include "platform/Writeback.h"

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

// Chunks in flight while a large file is written: generating one while the others are written.
constexpr std::size_t kPipelineDepth = 4;

Outcome fillAndWrite(int fd, DataChunks chunks, std::size_t bufferSize, const RandomFill& fill) {
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(bufferSize);
    WritebackPacer writeback(fd);
    while (const std::optional<FileChunk> chunk = chunks.next()) {
        const std::span<unsigned char> bytes(buffer.get(), chunk->length);
        if (!fill(bytes)) {
            return DeletionError::randomBytesFailed();
        }
        if (const int error = writeAll(fd, bytes, chunk->offset); error != 0) {
            return writeFailure(error);
        }
        writeback.wroteUpTo(chunk->offset + static_cast<off_t>(chunk->length));
    }
    return OverwriteOutcome::overwritten;
}

Outcome writeFilledChunks(int fd, RandomChunkPipeline& pipeline) {
    WritebackPacer writeback(fd);
    for (;;) {
        auto next = pipeline.next();
        if (const auto* end = std::get_if<RandomChunkPipeline::End>(&next)) {
            if (*end == RandomChunkPipeline::End::fillFailed) {
                return DeletionError::randomBytesFailed();
            }
            return OverwriteOutcome::overwritten;
        }
        const auto& [chunk, bytes] = std::get<RandomChunkPipeline::FilledChunk>(next);
        if (const int error = writeAll(fd, bytes, chunk.offset); error != 0) {
            return writeFailure(error);
        }
        writeback.wroteUpTo(chunk.offset + static_cast<off_t>(chunk.length));
    }
}

Outcome writeChunks(int fd, off_t size, const RandomFill& fill) {
    const DataChunks chunks(fd, size, kOverwriteChunkSize);
    if (static_cast<std::size_t>(size) <= kOverwriteChunkSize) {
        return fillAndWrite(fd, chunks, static_cast<std::size_t>(size), fill);
    }
    try {
        RandomChunkPipeline pipeline(chunks, kOverwriteChunkSize, kPipelineDepth, fill);
        return writeFilledChunks(fd, pipeline);
    } catch (const std::system_error&) {
        // No thread to spare: generate and write in turn.
        return fillAndWrite(fd, chunks, kOverwriteChunkSize, fill);
    }
}

Outcome writePass(int fd, off_t size, const RandomFill& fill) {
    Outcome outcome = writeChunks(fd, size, fill);
    // Whether the data reached the device changes nothing for the caller, who removes the file
    // next either way.
    if (outcome.ok()) {
        ::fdatasync(fd);
    }
    return outcome;
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
