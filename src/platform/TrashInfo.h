#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/TimePoint.h"

// The ".trashinfo" files of the freedesktop.org Trash.
namespace quillo::platform {

/// `path` with every byte but the unreserved characters of RFC 2396 (letters, digits and
/// "-_.!~*'()") and "/" written as "%XX" with upper-case hexadecimal digits.
std::string percentEncodedPath(std::string_view path);

/// The bytes `percentEncodedPath` made `encoded` from; nothing for a malformed escape.
std::optional<std::string> percentDecodedPath(std::string_view encoded);

/// The contents of an info file: the "[Trash Info]" group with the encoded original `path` and
/// the local deletion time.
std::string trashInfoText(std::string_view path, TimePoint deletedAt);

/// The trash name for `name` on the `attempt`-th try (1, 2, …): the name itself, then
/// "<name>.<attempt>", shortened at a character boundary where needed so that its info file's
/// name still fits the file system's limit of 255 bytes.
std::string trashName(std::string_view name, unsigned attempt);

}  // namespace quillo::platform
