#pragma once

#include <filesystem>

#include "model/TimePoint.h"
#include "support/Result.h"

namespace quillo::platform {

/// Keeps a file that this version cannot read or use instead of overwriting it: renames `file`
/// (whatever it is: a folder, a FIFO, a link, which is moved itself) to
/// "<file>.unreadable-<local time stamp of now>", adding "-2", "-3", … while that name is taken,
/// and never replaces anything. Succeeds at once when `file` is gone. Fails with a
/// `FileWriteError` (platform/AtomicFile.h).
support::Status moveUnreadableFileAside(const std::filesystem::path& file, TimePoint now);

}  // namespace quillo::platform
