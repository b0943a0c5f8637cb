#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "model/TimePoint.h"

namespace quillo::platform {

/// Which file a name refers to, independent of the name: device and inode.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

/// The properties of one file as the file system reports them; each may be absent.
struct FileStatus {
    std::optional<bool> isDirectory;
    /// The `S_IFMT` bits of the mode (0 where unknown).
    std::uint32_t type = 0;
    /// Blocks in use times 512, the space the file really takes.
    std::optional<std::int64_t> allocatedSize;
    std::optional<std::int64_t> logicalSize;
    std::optional<TimePoint> lastModified;
    FileIdentity identity;
    std::uint32_t linkCount = 1;
    /// The mount the entry belongs to (0 where the kernel does not say); a bind mount shares its
    /// device with its source, so only this tells the two apart.
    std::uint64_t mountID = 0;
    /// Whether the entry is the root of a mount, bind mounts of single files included.
    bool isMountRoot = false;
    /// Whether the kernel said whether the entry is a mount root; where it did not, only a
    /// comparison with the parent folder tells.
    bool knowsMountRoot = false;

    /// The allocated size, else the logical size, else 0.
    [[nodiscard]] std::int64_t preferredSize() const {
        return allocatedSize.value_or(logicalSize.value_or(0));
    }
};

/// Whether `entry` lies on the same mount as `root` and is no mount point itself: a bind mount
/// shares its device with its source, so where the kernel names mounts their ids decide.
bool isOnMountOf(const FileStatus& entry, const FileStatus& root);

/// The status of `name` relative to the folder open as `directoryFd` (AT_FDCWD for a path),
/// without following a final symbolic link. Nothing when the entry cannot be examined.
std::optional<FileStatus> readFileStatus(int directoryFd, const char* name);

/// The status of the file open as `fd` (a path descriptor will do).
std::optional<FileStatus> readDescriptorStatus(int fd);

/// The identity of an open descriptor; nothing when it cannot be examined.
std::optional<FileIdentity> identityOf(int fd);

}  // namespace quillo::platform

template <>
struct std::hash<quillo::platform::FileIdentity> {
    std::size_t operator()(const quillo::platform::FileIdentity& identity) const noexcept {
        return std::hash<std::uint64_t>{}(identity.inode * 0x9E3779B97F4A7C15ULL ^ identity.device);
    }
};
