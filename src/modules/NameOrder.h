#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

/// What names are compared by: the canonical composition (NFC) of a UTF-8 name, whose bytes
/// compare in code-point order; a name that is not valid UTF-8 stands for itself, byte by byte.
std::string nameSortKey(std::string_view name);

/// Sorts ascending by last path component in name order; names with equal keys (the same text
/// in two normal forms) keep a fixed order by their bytes.
void sortByName(std::vector<std::filesystem::path>& paths);

}  // namespace quillo
