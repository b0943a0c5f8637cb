#include "platform/PropertyList.h"

#include <plist/plist.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/FileReading.h"
#include "platform/PropertyListLimits.h"

namespace quillo::platform {

void PropertyListDictionary::Release::operator()(void* node) const {
    plist_free(static_cast<plist_t>(node));
}

std::optional<PropertyListDictionary> PropertyListDictionary::parse(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max() ||
        !isWithinParserLimits(bytes)) {
        return std::nullopt;
    }
    plist_t parsed = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &parsed);
    Node root(parsed);
    if (root == nullptr || plist_get_node_type(root.get()) != PLIST_DICT) {
        return std::nullopt;
    }
    return PropertyListDictionary(std::move(root));
}

void* PropertyListDictionary::item(std::string_view key) const {
    return plist_dict_get_item(root_.get(), std::string(key).c_str());
}

bool PropertyListDictionary::contains(std::string_view key) const {
    return item(key) != nullptr;
}

std::optional<std::string> PropertyListDictionary::stringValue(std::string_view key) const {
    const plist_t value = item(key);
    if (value == nullptr || plist_get_node_type(value) != PLIST_STRING) {
        return std::nullopt;
    }
    // The pointer form: libplist's copying accessor aborts on a string holding a NUL byte. The
    // XML parser keeps such a string only up to the NUL but reports its full length, so the text
    // ends at the first NUL; every buffer libplist makes ends in one.
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(value, &length);
    return text != nullptr
               ? std::optional<std::string>(std::in_place, text,
                                            ::strnlen(text, static_cast<std::size_t>(length)))
               : std::optional<std::string>(std::in_place);
}

std::optional<PropertyListDictionary> readPropertyListDictionary(const std::filesystem::path& file,
                                                                 std::size_t maxBytes) {
    const auto contents = readWholeFile(file, maxBytes);
    if (!contents || !contents.value()) {
        return std::nullopt;
    }
    return PropertyListDictionary::parse(*contents.value());
}

}  // namespace quillo::platform
