#include "platform/TrashInfo.h"

#include <cstddef>

#include "support/Formatting.h"

namespace quillo::platform {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kUnreservedMarks = "-_.!~*'()/";
constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr std::size_t kMaximumNameBytes = 255;

bool isUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kUnreservedMarks.find(c) != std::string_view::npos;
}

std::optional<int> hexValue(char digit) {
    const auto position = kHexDigits.find(digit >= 'a' && digit <= 'f' ? char(digit - 32) : digit);
    if (position == std::string_view::npos) {
        return std::nullopt;
    }
    return static_cast<int>(position);
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

}  // namespace

std::string percentEncodedPath(std::string_view path) {
    std::string encoded;
    encoded.reserve(path.size());
    for (const char c : path) {
        if (isUnreserved(c)) {
            encoded += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += kHexDigits[byte >> 4U];
            encoded += kHexDigits[byte & 0x0FU];
        }
    }
    return encoded;
}

std::optional<std::string> percentDecodedPath(std::string_view encoded) {
    std::string decoded;
    for (std::size_t index = 0; index < encoded.size(); ++index) {
        if (encoded[index] != '%') {
            decoded += encoded[index];
            continue;
        }
        if (index + 2 >= encoded.size()) {
            return std::nullopt;
        }
        const auto high = hexValue(encoded[index + 1]);
        const auto low = hexValue(encoded[index + 2]);
        if (!high || !low) {
            return std::nullopt;
        }
        decoded += static_cast<char>(*high * 16 + *low);
        index += 2;
    }
    return decoded;
}

std::string trashInfoText(std::string_view path, TimePoint deletedAt) {
    return "[Trash Info]\nPath=" + percentEncodedPath(path) +
           "\nDeletionDate=" + support::formatLocalISO8601(deletedAt) + "\n";
}

std::string trashName(std::string_view name, unsigned attempt) {
    const std::string suffix = attempt <= 1 ? std::string() : "." + std::to_string(attempt);
    const std::size_t room = kMaximumNameBytes - kInfoSuffix.size() - suffix.size();
    std::size_t length = name.size();
    if (length > room) {
        length = room;
        while (length > 0 && isContinuationByte(name[length])) {
            --length;
        }
    }
    return std::string(name.substr(0, length)) + suffix;
}

}  // namespace quillo::platform
