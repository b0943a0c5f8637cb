#pragma once

#include <cstddef>
#include <string_view>

namespace quillo::platform {

// libplist parses nested arrays and dictionaries by recursion and copies an object once for
// every reference to it. A few hundred kilobytes nested deeply enough overflow the stack, and a
// binary list of a few hundred bytes whose objects refer to the next one twice expands to
// billions of nodes. Both are refused before the parser sees them.

/// Deepest nesting of a binary list (every real Info.plist stays below ten).
inline constexpr std::size_t kMaxPropertyListDepth = 512;
/// Most nodes a binary list may expand to, counting every reference to a shared object.
inline constexpr std::size_t kMaxPropertyListNodes = std::size_t{1} << 18;
/// Most array and dictionary tags an XML list may hold; this bounds its nesting however the
/// tags are arranged, comments and other markup included.
inline constexpr std::size_t kMaxXmlContainerTags = 16384;

/// Whether `bytes` can be handed to the parser without endangering the process: at most
/// `kMaxXmlContainerTags` tags starting "<array" or "<dict" (ignoring case), and, for a list with
/// the binary magic "bplist", a consistent trailer, offset table and references, no cycle, and
/// the depth and node limits kept.
bool isWithinParserLimits(std::string_view bytes);

}  // namespace quillo::platform
