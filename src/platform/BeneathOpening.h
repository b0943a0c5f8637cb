#pragma once

#include <string_view>
#include <vector>

#include "platform/FileDescriptor.h"

namespace quillo::platform {

/// Opens the folder reached from the folder open as `root` through `components` (none of them
/// empty, "." or ".."), as a path descriptor, without following any link and without leaving
/// the root's mount. An empty list opens the root again. On failure the descriptor is invalid
/// and errno says why: ELOOP or ENOTDIR for a link or a non-folder on the way, EXDEV for another
/// mount, EAGAIN when the tree kept changing under the walk.
FileDescriptor openFolderBeneath(int root, const std::vector<std::string_view>& components);

/// The same, one component at a time with a status check before and after each opening: what
/// `openFolderBeneath` falls back to where the kernel cannot resolve a whole path that way.
FileDescriptor openFolderBeneathStepwise(int root, const std::vector<std::string_view>& components);

}  // namespace quillo::platform
