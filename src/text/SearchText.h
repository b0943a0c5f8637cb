#pragma once

#include <string>
#include <string_view>

// How the result list compares what the user types with item names and paths.
namespace quillo::SearchText {

/// `text` without white space and line breaks (Unicode's, not only ASCII's) at either end.
std::string_view trimmed(std::string_view text);

/// `text` in lower case and composed form, so that a match ignores case and how an accent was
/// typed. Text that is not UTF-8 (a path may hold any bytes) has only its ASCII letters lowered.
std::string folded(std::string_view text);
/// Appends `folded(text)` to `out`.
void appendFolded(std::string& out, std::string_view text);

}  // namespace quillo::SearchText
