#pragma once

#include <span>

namespace quillo::platform {

/// Fills `bytes` from OpenSSL's cryptographically secure generator. False when the generator
/// fails (for example before it could be seeded); the buffer's content is undefined then.
bool secureRandomFill(std::span<unsigned char> bytes);

}  // namespace quillo::platform
