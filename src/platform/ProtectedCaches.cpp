#include "platform/ProtectedCaches.h"

namespace quillo::platform {

std::vector<std::filesystem::path> protectedSystemCacheEntries(
    const std::filesystem::path& systemRoot) {
    return {systemRoot / "var/cache/debconf"};
}

}  // namespace quillo::platform
