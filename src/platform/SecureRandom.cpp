#include "platform/SecureRandom.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

namespace quillo::platform {

namespace {

// Below this, setting up a cipher costs more than it saves.
constexpr std::size_t kKeyStreamThreshold = 4096;
constexpr std::size_t kKeyBytes = 32;
constexpr std::size_t kCounterBytes = 16;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// Encrypting zeros yields the key stream itself; they are read from a small block that stays in
// the cache rather than written into `bytes` first.
bool keyStreamFill(std::span<unsigned char> bytes) {
    static constexpr std::array<unsigned char, 16'384> kZeros{};
    std::array<unsigned char, kKeyBytes + kCounterBytes> keyAndCounter{};
    const CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    bool ok = context &&
              RAND_bytes(keyAndCounter.data(), static_cast<int>(keyAndCounter.size())) == 1 &&
              EVP_EncryptInit_ex(context.get(), EVP_aes_256_ctr(), nullptr, keyAndCounter.data(),
                                 keyAndCounter.data() + kKeyBytes) == 1;
    OPENSSL_cleanse(keyAndCounter.data(), keyAndCounter.size());
    while (ok && !bytes.empty()) {
        const int length = static_cast<int>(std::min(bytes.size(), kZeros.size()));
        int written = 0;
        ok = EVP_EncryptUpdate(context.get(), bytes.data(), &written, kZeros.data(), length) == 1 &&
             written == length;
        bytes = bytes.subspan(static_cast<std::size_t>(length));
    }
    return ok;
}

}  // namespace

bool secureRandomFill(std::span<unsigned char> bytes) {
    if (bytes.size() >= kKeyStreamThreshold) {
        return keyStreamFill(bytes);
    }
    return RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) == 1;
}

}  // namespace quillo::platform
