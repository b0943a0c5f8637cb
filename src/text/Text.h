#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/LocalizableText.h"
#include "text/Format.h"

namespace quillo::text {

/// The text for a catalogue key: its translation for the current locale, else the built
/// platform's wording where it has its own, else its German default. Asking for a key the
/// catalogue lacks is a programming error: it asserts in debug builds and yields the key itself
/// otherwise.
const std::string& text(std::string_view key);

/// The text for a value that carries its own default, such as a module's display name: the
/// translation of its key if there is one, else the platform's wording, else that default.
std::string text(const LocalizableText& value);

/// The text of a format key with its placeholders filled in (see formatPattern).
std::string format(std::string_view key, const std::vector<FormatArgument>& arguments);

/// A count text filled in: the one form (the key with ".one" before its ".format") when `count`
/// is 1, else the other form (the key itself). Every count text has both, so that no text
/// writes "Objekt(e)".
std::string countFormat(std::string_view key, std::int64_t count,
                        const std::vector<FormatArgument>& arguments);

/// The key of the one form of the count text `key`.
std::string oneFormKey(std::string_view key);

}  // namespace quillo::text
