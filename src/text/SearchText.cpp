#include "text/SearchText.h"

#include <glib.h>

#include <algorithm>
#include <memory>

#include "support/Utf8.h"

namespace quillo::SearchText {

namespace {

constexpr gunichar kLineTabulation = 0x0B;
constexpr gunichar kNextLine = 0x85;

bool isBlank(gunichar character) {
    // GLib counts the other control blanks and every space and separator category already.
    return g_unichar_isspace(character) || character == kLineTabulation || character == kNextLine;
}

// GLib's case mapping needs valid UTF-8 and stops at a NUL byte.
bool foldsAsAscii(std::string_view text) {
    return text.find('\0') != std::string_view::npos || !support::isValidUtf8(text);
}

// Writes `text` with A to Z lowered to `target` and tells whether it was all ASCII. One simple
// pass: names and paths are nearly always ASCII, and indexing large results must stay cheap.
bool lowerAscii(std::string_view text, char* target) {
    unsigned char seen = 0;
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        seen |= byte;
        const bool upper = static_cast<unsigned char>(byte - 'A') < 26;
        *target++ = static_cast<char>(byte + (upper ? 'a' - 'A' : 0));
    }
    return (seen & 0x80) == 0;
}

using GlibText = std::unique_ptr<gchar, decltype(&g_free)>;

}  // namespace

std::string_view trimmed(std::string_view text) {
    std::size_t first = text.size();
    std::size_t end = 0;
    std::size_t offset = 0;
    while (offset < text.size()) {
        const auto rest = text.substr(offset);
        const gunichar character =
            g_utf8_get_char_validated(rest.data(), static_cast<gssize>(rest.size()));
        const bool valid =
            character != static_cast<gunichar>(-1) && character != static_cast<gunichar>(-2);
        const auto length =
            valid ? static_cast<std::size_t>(g_utf8_skip[static_cast<guchar>(rest.front())]) : 1;
        if (!valid || !isBlank(character)) {
            first = std::min(first, offset);
            end = offset + length;
        }
        offset += length;
    }
    return first < end ? text.substr(first, end - first) : std::string_view();
}

std::string folded(std::string_view text) {
    std::string result;
    appendFolded(result, text);
    return result;
}

void appendFolded(std::string& out, std::string_view text) {
    const auto start = out.size();
    out.resize(start + text.size());
    if (lowerAscii(text, out.data() + start) || foldsAsAscii(text)) {
        return;
    }
    out.resize(start);
    const GlibText lowered(g_utf8_strdown(text.data(), static_cast<gssize>(text.size())), &g_free);
    const GlibText composed(g_utf8_normalize(lowered.get(), -1, G_NORMALIZE_NFC), &g_free);
    out.append(composed ? composed.get() : lowered.get());
}

}  // namespace quillo::SearchText
