#include "platform/FileStatus.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <chrono>

namespace quillo::platform {

namespace {

// File times can lie centuries away; the clock's ±292 years would overflow, so they are clamped.
TimePoint timePointFrom(const struct statx_timestamp& stamp) {
    using namespace std::chrono;
    using Duration = TimePoint::duration;
    constexpr auto maxSeconds = duration_cast<seconds>(Duration::max()).count() - 1;
    constexpr auto minSeconds = duration_cast<seconds>(Duration::min()).count() + 1;
    if (stamp.tv_sec > maxSeconds) {
        return TimePoint::max();
    }
    if (stamp.tv_sec < minSeconds) {
        return TimePoint::min();
    }
    return TimePoint(duration_cast<Duration>(seconds(stamp.tv_sec) + nanoseconds(stamp.tv_nsec)));
}

constexpr unsigned kRequestedFields = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_INO |
                                      STATX_SIZE | STATX_BLOCKS | STATX_MTIME | STATX_MNT_ID;

std::optional<FileStatus> statusWithFlags(int directoryFd, const char* name, int flags) {
    struct statx raw {};
    if (statx(directoryFd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC,
              kRequestedFields, &raw) != 0) {
        return std::nullopt;
    }
    FileStatus status;
    status.type = raw.stx_mode & S_IFMT;
    if ((raw.stx_mask & STATX_TYPE) != 0) {
        status.isDirectory = S_ISDIR(raw.stx_mode);
    }
    if ((raw.stx_mask & STATX_BLOCKS) != 0) {
        status.allocatedSize = static_cast<std::int64_t>(raw.stx_blocks) * 512;
    }
    if ((raw.stx_mask & STATX_SIZE) != 0) {
        status.logicalSize = static_cast<std::int64_t>(raw.stx_size);
    }
    if ((raw.stx_mask & STATX_MTIME) != 0) {
        status.lastModified = timePointFrom(raw.stx_mtime);
    }
    status.identity = {makedev(raw.stx_dev_major, raw.stx_dev_minor), raw.stx_ino};
    if ((raw.stx_mask & STATX_NLINK) != 0) {
        status.linkCount = raw.stx_nlink;
    }
    if ((raw.stx_mask & STATX_MNT_ID) != 0) {
        status.mountID = raw.stx_mnt_id;
    }
    status.knowsMountRoot = (raw.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0;
    status.isMountRoot =
        (raw.stx_attributes_mask & raw.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return status;
}

}  // namespace

bool isOnMountOf(const FileStatus& entry, const FileStatus& root) {
    return entry.identity.device == root.identity.device && !entry.isMountRoot &&
           (entry.mountID == 0 || root.mountID == 0 || entry.mountID == root.mountID);
}

std::optional<FileStatus> readFileStatus(int directoryFd, const char* name) {
    return statusWithFlags(directoryFd, name, 0);
}

std::optional<FileStatus> readDescriptorStatus(int fd) {
    return statusWithFlags(fd, "", AT_EMPTY_PATH);
}

std::optional<FileIdentity> identityOf(int fd) {
    struct stat raw {};
    if (fstat(fd, &raw) != 0) {
        return std::nullopt;
    }
    return FileIdentity{raw.st_dev, raw.st_ino};
}

}  // namespace quillo::platform
