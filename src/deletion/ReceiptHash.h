#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/TimePoint.h"
#include "model/Uuid.h"

namespace quillo {

/// The text a receipt's hash is taken over: the item's id in upper case, its path without
/// trailing slashes, its size and its deletion time in whole seconds since the Unix epoch
/// (truncated toward zero), joined by "|".
std::string receiptHashInput(const Uuid& itemID, const std::filesystem::path& path,
                             std::int64_t sizeInBytes, TimePoint deletedAt);

/// The SHA-256 digest of `bytes` as 64 lowercase hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

/// The hash a receipt holds in place of the deleted item's path.
std::string receiptHash(const Uuid& itemID, const std::filesystem::path& path,
                        std::int64_t sizeInBytes, TimePoint deletedAt);

}  // namespace quillo
