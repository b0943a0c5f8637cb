#pragma once

#include <span>

namespace quillo::platform {

/// Fills `bytes` with cryptographically secure random bytes: small requests straight from
/// OpenSSL's generator, large ones as the AES-256-CTR key stream of a fresh key and counter drawn
/// from it: about twice as fast, and without the key no more predictable. False when the generator
/// fails (for example before it could be seeded); the buffer's content is undefined then.
bool secureRandomFill(std::span<unsigned char> bytes);

}  // namespace quillo::platform
