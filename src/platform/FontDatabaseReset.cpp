#include "platform/FontDatabaseReset.h"

#include <utility>

#include "platform/SystemTool.h"

namespace quillo::platform {

void defaultPostDeleteHook(support::Completion<support::Unit> done) {
    runToolIgnoringOutput("/usr/bin/atsutil", {"databases", "-removeUser"}, std::move(done));
}

void fontconfigCacheRebuild(support::Completion<support::Unit> done) {
    runToolIgnoringOutput("/usr/bin/fc-cache", {"-f"}, std::move(done));
}

}  // namespace quillo::platform
