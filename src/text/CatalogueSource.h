#pragma once

#include <string_view>

namespace quillo::text {

/// The JSON text of catalogue.json as it was when the library was built.
std::string_view catalogueSource();

}  // namespace quillo::text
