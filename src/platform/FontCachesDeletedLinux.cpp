#include "platform/FontDatabaseReset.h"

namespace quillo::platform {

void fontCachesDeleted(support::Completion<support::Unit> done) {
    fontconfigCacheRebuild(std::move(done));
}

}  // namespace quillo::platform
