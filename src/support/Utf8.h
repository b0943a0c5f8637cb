#pragma once

#include <string_view>

namespace quillo::support {

/// Whether `bytes` are well-formed UTF-8: shortest forms only, no surrogates, nothing above
/// U+10FFFF. The empty text is valid.
bool isValidUtf8(std::string_view bytes);

}  // namespace quillo::support
