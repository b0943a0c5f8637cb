#pragma once

#include "support/Result.h"

namespace quillo::platform {

/// The clean-up after font caches were deleted on macOS: tells the font service to drop the
/// user's font databases with "/usr/bin/atsutil databases -removeUser".
void defaultPostDeleteHook(support::Completion<support::Unit> done);

/// The clean-up on Linux: rebuilds fontconfig's caches with "/usr/bin/fc-cache -f", so that
/// programs started next need not build them themselves. Where fontconfig's tool is missing the
/// step fails at once with a launch error, which the font cache module ignores.
void fontconfigCacheRebuild(support::Completion<support::Unit> done);

/// The clean-up of the platform this build runs on.
void fontCachesDeleted(support::Completion<support::Unit> done);

}  // namespace quillo::platform
