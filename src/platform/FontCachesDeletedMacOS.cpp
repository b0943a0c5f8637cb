#include "platform/FontDatabaseReset.h"

namespace quillo::platform {

void fontCachesDeleted(support::Completion<support::Unit> done) {
    defaultPostDeleteHook(std::move(done));
}

}  // namespace quillo::platform
