#pragma once

#include "support/Result.h"

namespace quillo::platform {

/// The clean-up after font caches were deleted: tells the font service to drop the user's font
/// databases with "/usr/bin/atsutil databases -removeUser". Linux has no such tool (fontconfig
/// rebuilds its caches by itself), so there the step fails at once with a launch error, which
/// the font cache module ignores.
void defaultPostDeleteHook(support::Completion<support::Unit> done);

}  // namespace quillo::platform
