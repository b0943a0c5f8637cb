#pragma once

#include <filesystem>

namespace quillo::platform {

/// Whether the entry at `path` exists and this process may not remove it by the kernel's rules,
/// which ask for write and search permission on its folder and, when that folder is sticky (as
/// /tmp is), ownership of the entry or of the folder, or the right to override ownership. A
/// folder must also be listable, enterable and writable itself, or its contents could not go
/// first; deeper levels are not examined.
bool removalNeedsMoreRights(const std::filesystem::path& path);

/// Whether `folder` exists but this process cannot list, enter and change it, so that it could
/// remove nothing directly inside: a root a scan of this process leaves out.
bool isOutOfReach(const std::filesystem::path& folder);

}  // namespace quillo::platform
