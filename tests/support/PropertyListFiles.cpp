#include "support/PropertyListFiles.h"

#include <plist/plist.h>

#include <memory>
#include <type_traits>

#include "support/TextFiles.h"

namespace quillo::testing {

namespace {

plist_t node(const PropertyValue& value) {
    return std::visit(
        [](const auto& content) -> plist_t {
            using Content = std::decay_t<decltype(content)>;
            if constexpr (std::is_same_v<Content, std::string>) {
                return plist_new_string(content.c_str());
            } else if constexpr (std::is_same_v<Content, bool>) {
                return plist_new_bool(content ? 1 : 0);
            } else {
                return plist_new_uint(static_cast<std::uint64_t>(content));
            }
        },
        value);
}

}  // namespace

std::string encodePropertyList(const PropertyEntries& entries, PropertyListEncoding encoding) {
    const std::unique_ptr<void, decltype(&plist_free)> dictionary(plist_new_dict(), &plist_free);
    for (const auto& [key, value] : entries) {
        plist_dict_set_item(dictionary.get(), key.c_str(), node(value));
    }
    char* bytes = nullptr;
    std::uint32_t length = 0;
    if (encoding == PropertyListEncoding::binary) {
        plist_to_bin(dictionary.get(), &bytes, &length);
    } else {
        plist_to_xml(dictionary.get(), &bytes, &length);
    }
    std::string encoded(bytes, length);
    if (encoding == PropertyListEncoding::binary) {
        plist_to_bin_free(bytes);
    } else {
        plist_to_xml_free(bytes);
    }
    return encoded;
}

void makeBundle(const std::filesystem::path& bundle, const PropertyEntries& entries,
                PropertyListEncoding encoding) {
    makeBundleWithInfoPlist(bundle, encodePropertyList(entries, encoding));
}

void makeBundleWithInfoPlist(const std::filesystem::path& bundle, std::string_view bytes) {
    writeTextFile(bundle / "Contents" / "Info.plist", bytes);
}

}  // namespace quillo::testing
