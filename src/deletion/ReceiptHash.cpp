#include "deletion/ReceiptHash.h"

#include <openssl/evp.h>

#include <array>
#include <chrono>
#include <stdexcept>

#include "platform/PathText.h"

namespace quillo {

namespace {

constexpr char kSeparator = '|';
constexpr std::string_view kHexDigits = "0123456789abcdef";

}  // namespace

std::string receiptHashInput(const Uuid& itemID, const std::filesystem::path& path,
                             std::int64_t sizeInBytes, TimePoint deletedAt) {
    // duration_cast truncates toward zero, as the hash input demands for times before 1970.
    const auto unixSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(deletedAt.time_since_epoch()).count();
    std::string text = itemID.uppercaseString();
    text += kSeparator;
    text += platform::withoutTrailingSlashes(path.native());
    text += kSeparator;
    text += std::to_string(sizeInBytes);
    text += kSeparator;
    text += std::to_string(unixSeconds);
    return text;
}

std::string sha256Hex(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int digestLength = 0;
    // Only a broken OpenSSL installation or exhausted memory make this fail; no caller could
    // carry on without the digest.
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &digestLength, EVP_sha256(),
                   nullptr) != 1) {
        throw std::runtime_error("SHA-256 is unavailable");
    }
    std::string hex;
    hex.reserve(std::size_t{2} * digestLength);
    for (unsigned int index = 0; index < digestLength; ++index) {
        hex += kHexDigits[digest[index] >> 4];
        hex += kHexDigits[digest[index] & 0x0f];
    }
    return hex;
}

std::string receiptHash(const Uuid& itemID, const std::filesystem::path& path,
                        std::int64_t sizeInBytes, TimePoint deletedAt) {
    return sha256Hex(receiptHashInput(itemID, path, sizeInBytes, deletedAt));
}

}  // namespace quillo
