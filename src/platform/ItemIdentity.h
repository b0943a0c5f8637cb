#pragma once

#include <filesystem>
#include <optional>

#include "platform/FileStatus.h"

namespace quillo::platform {

/// Which file a path led to, and when that file's status last changed: a file removed and
/// another made in its place may get the same inode number, but not the same change time.
struct ItemIdentity {
    FileIdentity file;
    /// The file type bits of its mode.
    std::uint32_t type = 0;
    std::int64_t changeSeconds = 0;
    std::int64_t changeNanoseconds = 0;
    friend bool operator==(const ItemIdentity&, const ItemIdentity&) = default;
};

/// The identity of `item` reached from the folder `root` one component at a time: no component
/// on the way is followed if it is a symbolic link (an item that is a link is the link itself),
/// and every one lies on `root`'s file system. Nothing when `item` is not strictly below `root`
/// by name (or has a "." or ".." component), or a component is missing, a link on the way, or
/// on another file system (a mount point included).
std::optional<ItemIdentity> identityBelow(const std::filesystem::path& root,
                                          const std::filesystem::path& item);

}  // namespace quillo::platform
