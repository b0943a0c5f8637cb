#pragma once

#include <sys/file.h>

#include <filesystem>

#include "platform/FileDescriptor.h"

namespace quillo::testing {

/// Holds a `flock` lock (`LOCK_EX` or `LOCK_SH`) on `path` for as long as the descriptor lives.
/// flock locks belong to the open file description, so this conflicts with a check that opens
/// the file anew even in this very process: no second process is needed.
platform::FileDescriptor holdLock(const std::filesystem::path& path, int operation = LOCK_EX);

}  // namespace quillo::testing
