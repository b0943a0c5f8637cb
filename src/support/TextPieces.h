#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo::support {

/// The pieces of `text` between occurrences of `separator`, empty pieces dropped.
std::vector<std::string_view> nonEmptyPieces(std::string_view text, char separator);

/// `text` without any of `characters` at either end.
std::string_view trimmed(std::string_view text, std::string_view characters);

/// Whether `text` is one or more of the ASCII digits 0 to 9.
bool isAsciiDigits(std::string_view text);

/// `text` with the ASCII letters A to Z in lower case; every other byte kept.
std::string asciiLowercased(std::string_view text);

}  // namespace quillo::support
