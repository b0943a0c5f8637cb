#include "text/Text.h"

#include <cassert>
#include <iostream>
#include <mutex>
#include <set>

#include "text/Catalogue.h"
#include "text/Translations.h"

namespace quillo::text {

namespace {

/// Unknown keys handed back as their own text need a home that outlives the call.
const std::string& unknownKey(std::string_view key) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> keys;
    const std::lock_guard lock(mutex);
    return *keys.emplace(key).first;
}

// The platform's wording stands in for the default; a translation still comes first.
const std::string* platformText(std::string_view key) {
    const auto& wording = platformWording();
    const auto entry = wording.find(key);
    return entry == wording.end() ? nullptr : &entry->second;
}

}  // namespace

const std::string& text(std::string_view key) {
    const auto& defaults = catalogue();
    const auto entry = defaults.find(key);
    if (entry == defaults.end()) {
#ifndef NDEBUG
        std::cerr << "Text key missing from the catalogue: \"" << key << "\"\n";
#endif
        assert(false && "every text key must be in the catalogue");
        return unknownKey(key);
    }
    if (const std::string* translated = translation(key)) {
        return *translated;
    }
    const std::string* worded = platformText(key);
    return worded != nullptr ? *worded : entry->second;
}

std::string text(const LocalizableText& value) {
    if (const std::string* translated = translation(value.key)) {
        return *translated;
    }
    const std::string* worded = platformText(value.key);
    return worded != nullptr ? *worded : value.defaultValue;
}

std::string format(std::string_view key, const std::vector<FormatArgument>& arguments) {
    return formatPattern(text(key), arguments);
}

std::string oneFormKey(std::string_view key) {
    constexpr std::string_view kFormat = ".format";
    assert(key.ends_with(kFormat) && "a count text is a format text");
    std::string one(key.substr(0, key.size() - kFormat.size()));
    return one.append(".one").append(kFormat);
}

std::string countFormat(std::string_view key, std::int64_t count,
                        const std::vector<FormatArgument>& arguments) {
    return count == 1 ? format(oneFormKey(key), arguments) : format(key, arguments);
}

}  // namespace quillo::text
