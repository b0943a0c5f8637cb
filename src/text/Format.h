#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillo::text {

/// One value filled into a format text: a text for "%@", an integer for "%lld".
using FormatArgument = std::variant<std::string, std::int64_t>;

/// The pattern with its placeholders replaced. "%@" and "%lld" take the next argument in order,
/// "%1$@" and "%2$lld" the argument at that position (from 1), so a translation may reorder them;
/// "%%" is a percent sign. Integers are written in decimal without grouping. A placeholder whose
/// argument is missing or of the other kind stays in the text as it is, and so does any other
/// percent sign.
std::string formatPattern(std::string_view pattern, const std::vector<FormatArgument>& arguments);

}  // namespace quillo::text
