#include "support/FakeBundles.h"

#include <plist/plist.h>

#include <cstdint>
#include <memory>

#include "support/TextFiles.h"
#include "support/TreeBuilders.h"

namespace quillo::testing {

std::string propertyList(const InfoStrings& strings, PlistEncoding encoding) {
    const std::unique_ptr<void, decltype(&plist_free)> dictionary(plist_new_dict(), &plist_free);
    for (const auto& [key, value] : strings) {
        plist_dict_set_item(dictionary.get(), key.c_str(), plist_new_string(value.c_str()));
    }
    char* bytes = nullptr;
    std::uint32_t length = 0;
    if (encoding == PlistEncoding::xml) {
        plist_to_xml(dictionary.get(), &bytes, &length);
        std::string text(bytes, length);
        plist_to_xml_free(bytes);
        return text;
    }
    plist_to_bin(dictionary.get(), &bytes, &length);
    std::string data(bytes, length);
    plist_to_bin_free(bytes);
    return data;
}

void writeInfoPlist(const std::filesystem::path& bundle, const InfoStrings& strings,
                    PlistEncoding encoding) {
    writeTextFile(bundle / "Contents" / "Info.plist", propertyList(strings, encoding));
}

std::filesystem::path makeFakeBundle(const std::filesystem::path& bundle,
                                     const InfoStrings& strings, PlistEncoding encoding,
                                     std::size_t executableBytes) {
    writeInfoPlist(bundle, strings, encoding);
    const auto executable = bundle / "Contents" / "MacOS" / "main";
    makeFile(executable, executableBytes);
    return executable;
}

}  // namespace quillo::testing
