#pragma once

#include <string>

namespace quillo {

/// A text shown to the user: the catalogue key it is looked up by and its German default.
/// Texts that are their own key carry the German text in both fields.
struct LocalizableText {
    std::string key;
    std::string defaultValue;

    static LocalizableText ownKey(const std::string& german) { return {german, german}; }

    friend bool operator==(const LocalizableText&, const LocalizableText&) = default;
};

}  // namespace quillo
