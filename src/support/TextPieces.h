#pragma once

#include <string_view>
#include <vector>

namespace quillo::support {

/// The pieces of `text` between occurrences of `separator`, empty pieces dropped.
std::vector<std::string_view> nonEmptyPieces(std::string_view text, char separator);

/// `text` without any of `characters` at either end.
std::string_view trimmed(std::string_view text, std::string_view characters);

}  // namespace quillo::support
