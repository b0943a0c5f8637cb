#include "platform/SecureRandom.h"

#include <openssl/rand.h>

#include <climits>
#include <cstddef>

namespace quillo::platform {

bool secureRandomFill(std::span<unsigned char> bytes) {
    // RAND_bytes counts in int; larger requests are split rather than truncated.
    constexpr std::size_t kMaxRequest = INT_MAX;
    while (!bytes.empty()) {
        const std::size_t request = bytes.size() < kMaxRequest ? bytes.size() : kMaxRequest;
        if (RAND_bytes(bytes.data(), static_cast<int>(request)) != 1) {
            return false;
        }
        bytes = bytes.subspan(request);
    }
    return true;
}

}  // namespace quillo::platform
