#pragma once

#include <filesystem>
#include <string_view>

namespace quillo::testing {

/// A file holding exactly `contents`, its parent folders made as needed.
void writeTextFile(const std::filesystem::path& path, std::string_view contents);

}  // namespace quillo::testing
