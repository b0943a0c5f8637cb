#pragma once

#include <string_view>

namespace quillo::text {

/// The JSON text of catalogue.json as it was when the library was built.
std::string_view catalogueSource();

/// The JSON text of the built platform's wording ("{}" where it needs none).
std::string_view platformWordingSource();

}  // namespace quillo::text
