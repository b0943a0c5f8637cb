#include "support/FakeBundles.h"

#include "support/TreeBuilders.h"

namespace quillo::testing {

namespace {

PropertyEntries entries(const InfoStrings& strings) {
    PropertyEntries entries;
    for (const auto& [key, value] : strings) {
        entries.emplace_back(key, value);
    }
    return entries;
}

}  // namespace

std::string propertyList(const InfoStrings& strings, PlistEncoding encoding) {
    return encodePropertyList(entries(strings), encoding);
}

void writeInfoPlist(const std::filesystem::path& bundle, const InfoStrings& strings,
                    PlistEncoding encoding) {
    makeBundle(bundle, entries(strings), encoding);
}

std::filesystem::path makeFakeBundle(const std::filesystem::path& bundle,
                                     const InfoStrings& strings, PlistEncoding encoding,
                                     std::size_t executableBytes) {
    writeInfoPlist(bundle, strings, encoding);
    auto executable = bundle / "Contents" / "MacOS" / "main";
    makeFile(executable, executableBytes);
    return executable;
}

}  // namespace quillo::testing
