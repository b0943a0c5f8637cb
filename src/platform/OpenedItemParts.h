#pragma once

#include <optional>

#include "platform/FileDescriptor.h"
#include "platform/FileStatus.h"
#include "platform/SafeFileOperations.h"
#include "support/Result.h"

// The descriptor-level steps behind `OpenedItem`. They trust the descriptors they are given, so
// nothing but `OpenedItem`, which opens them under the deletion guard, calls them.
namespace quillo::platform {

/// One overwrite pass over the entry `name` of the folder open as `folderFd`: only a regular
/// file with one link that lies on the mount of `itemStatus` (and, when given, is `expected`)
/// is opened for writing, and of it only the allocated extents are written, so that a sparse
/// file never grows. The type is checked before opening and again on the opened descriptor.
support::Result<OverwriteOutcome> overwriteEntry(int folderFd, const char* name,
                                                 const FileStatus& itemStatus,
                                                 const std::optional<FileIdentity>& expected,
                                                 const RandomFill& fill);

/// One pass over every non-hidden regular file below the folder open as `folder` (read
/// access), never entering a link, a hidden folder or another mount. Files that cannot be
/// written are passed over: the folder is removed with them all the same.
void overwriteFilesBelow(FileDescriptor folder, const FileStatus& itemStatus,
                         const RandomFill& fill);

/// Removes everything inside the folder open as `folder` (read access), depth first, relative
/// to open descriptors, never following a link nor entering another mount; the folder itself
/// stays. Returns 0, or the first errno met: EXDEV or EBUSY where a mount point was left alone.
int emptyFolder(FileDescriptor folder, const BeforeDescent& beforeDescent);

}  // namespace quillo::platform
