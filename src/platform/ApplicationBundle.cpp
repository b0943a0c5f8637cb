#include "platform/ApplicationBundle.h"

#include <plist/plist.h>

#include <cstdint>

#include "platform/PathText.h"
#include "platform/PropertyListLimits.h"
#include "platform/SmallTextFile.h"
#include "support/TextPieces.h"

namespace quillo::platform {

std::optional<InfoDictionary> InfoDictionary::parse(std::string_view bytes) {
    // The same limits as every property list read: a binary list of a few hundred bytes whose
    // objects refer to the next one twice would otherwise expand to billions of nodes.
    if (bytes.empty() || bytes.size() > kMaximumBytes || !isWithinParserLimits(bytes)) {
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    if (root == nullptr) {
        return std::nullopt;
    }
    std::shared_ptr<void> owned(root, [](void* node) { plist_free(node); });
    if (plist_get_node_type(root) != PLIST_DICT) {
        return std::nullopt;
    }
    return InfoDictionary(std::move(owned));
}

std::optional<std::string> InfoDictionary::string(const char* key) const {
    const plist_t node = plist_dict_get_item(root_.get(), key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    // The pointer form with its length: libplist's copying accessor aborts on a NUL byte.
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string(text, static_cast<std::size_t>(length));
}

bool hasApplicationExtension(const std::filesystem::path& path) {
    const std::filesystem::path name(withoutTrailingSlashes(path.native()));
    return support::asciiLowercased(name.extension().native()) == ".app";
}

std::optional<InfoDictionary> readInfoDictionary(const std::filesystem::path& bundle) {
    // One byte more than allowed tells an oversized file from one that fits exactly.
    const auto bytes =
        readSmallTextFile(bundle / "Contents" / "Info.plist", InfoDictionary::kMaximumBytes + 1);
    if (!bytes) {
        return std::nullopt;
    }
    return InfoDictionary::parse(*bytes);
}

std::optional<std::string> bundleIdentifier(const InfoDictionary& info) {
    return info.string("CFBundleIdentifier");
}

std::string bundleDisplayName(const InfoDictionary& info, const std::filesystem::path& bundle) {
    for (const char* key : {"CFBundleDisplayName", "CFBundleName"}) {
        if (auto name = info.string(key); name && !name->empty()) {
            return std::move(*name);
        }
    }
    return bundle.stem().string();
}

}  // namespace quillo::platform
