#include "text/Format.h"

#include <charconv>
#include <optional>

namespace quillo::text {

namespace {

enum class Conversion { text, integer };

struct Placeholder {
    std::optional<std::size_t> position;  // from 1; none for "next in order"
    Conversion conversion;
    std::size_t length;  // of the placeholder in the pattern, "%" included
};

std::optional<Conversion> conversionAt(std::string_view rest, std::size_t& length) {
    if (rest.starts_with("@")) {
        length = 1;
        return Conversion::text;
    }
    if (rest.starts_with("lld")) {
        length = 3;
        return Conversion::integer;
    }
    return std::nullopt;
}

/// The placeholder that `pattern` starts with, if it starts with one.
std::optional<Placeholder> placeholderAt(std::string_view pattern) {
    std::string_view rest = pattern.substr(1);
    std::optional<std::size_t> position;
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error == std::errc{} && end != rest.data() && end < rest.data() + rest.size() &&
        *end == '$') {
        if (value == 0) {
            return std::nullopt;
        }
        position = value;
        rest.remove_prefix(static_cast<std::size_t>(end - rest.data()) + 1);
    }
    std::size_t conversionLength = 0;
    const auto conversion = conversionAt(rest, conversionLength);
    if (!conversion) {
        return std::nullopt;
    }
    const std::size_t length = pattern.size() - rest.size() + conversionLength;
    return Placeholder{position, *conversion, length};
}

bool appendArgument(std::string& result, Conversion conversion, const FormatArgument& argument) {
    if (conversion == Conversion::text) {
        if (const auto* value = std::get_if<std::string>(&argument)) {
            result += *value;
            return true;
        }
        return false;
    }
    if (const auto* value = std::get_if<std::int64_t>(&argument)) {
        result += std::to_string(*value);
        return true;
    }
    return false;
}

}  // namespace

std::string formatPattern(std::string_view pattern, const std::vector<FormatArgument>& arguments) {
    std::string result;
    result.reserve(pattern.size());
    std::size_t nextInOrder = 0;
    while (!pattern.empty()) {
        const auto percent = pattern.find('%');
        result += pattern.substr(0, percent);
        if (percent == std::string_view::npos) {
            break;
        }
        pattern.remove_prefix(percent);
        if (pattern.starts_with("%%")) {
            result += '%';
            pattern.remove_prefix(2);
            continue;
        }
        const auto placeholder = placeholderAt(pattern);
        if (!placeholder) {
            result += '%';
            pattern.remove_prefix(1);
            continue;
        }
        const std::size_t index =
            placeholder->position ? *placeholder->position - 1 : nextInOrder++;
        if (index >= arguments.size() ||
            !appendArgument(result, placeholder->conversion, arguments[index])) {
            result += pattern.substr(0, placeholder->length);
        }
        pattern.remove_prefix(placeholder->length);
    }
    return result;
}

}  // namespace quillo::text
