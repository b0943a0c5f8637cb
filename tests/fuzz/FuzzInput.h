#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// What the fuzz targets share: the input as bytes, and split into parts.
namespace quillo::fuzz {

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

/// The pieces of `bytes` between `separator` bytes, empty pieces included; one piece for input
/// without a separator.
inline std::vector<std::string_view> parts(std::string_view bytes, char separator) {
    std::vector<std::string_view> pieces;
    for (;;) {
        const auto end = bytes.find(separator);
        pieces.push_back(bytes.substr(0, end));
        if (end == std::string_view::npos) {
            return pieces;
        }
        bytes.remove_prefix(end + 1);
    }
}

}  // namespace quillo::fuzz
