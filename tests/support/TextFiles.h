#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillo::testing {

/// A file holding exactly `contents`, its parent folders made as needed.
void writeTextFile(const std::filesystem::path& path, std::string_view contents);

/// The whole contents of `path`, byte for byte.
std::string readTextFile(const std::filesystem::path& path);

}  // namespace quillo::testing
