#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

#include "model/TimePoint.h"
#include "platform/FileDescriptor.h"
#include "support/Result.h"

// The folders of the freedesktop.org Trash and the one move into them.
namespace quillo::platform {

/// A trash folder with its "files" and "info" folders open, made as needed (mode 0700).
struct TrashFolder {
    std::filesystem::path location;
    FileDescriptor files;
    FileDescriptor info;
};

/// The home trash "Trash" in `dataHome`; `dataHome` is made too when it is missing.
support::Result<TrashFolder> openHomeTrash(const std::filesystem::path& dataHome);

/// The trash of the mount point `topdir` for user `uid`: "$topdir/.Trash/$uid" when ".Trash" is
/// a real folder (no link) with the sticky bit, else "$topdir/.Trash-$uid". The user's folder
/// must be a real folder of `uid`'s; a link or someone else's folder in its place is not used.
support::Result<TrashFolder> openTopDirectoryTrash(const std::filesystem::path& topdir, uid_t uid);

/// Writes the info file for `originalPath` (the "Path" value as it is to be stored, not yet
/// encoded) under the first free trash name of `name`, then renames `item` to that name in the
/// trash's "files" folder, never replacing anything there. When the rename fails, the info file
/// is removed and `item` stays untouched.
support::Status moveIntoTrash(const std::filesystem::path& item, std::string_view name,
                              const TrashFolder& trash, std::string_view originalPath,
                              TimePoint deletedAt);

}  // namespace quillo::platform
