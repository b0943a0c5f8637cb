// The capped property-list reader: the parser limits, libplist behind them, and the lookups
// made on what it returns.
#include <array>

#include "FuzzInput.h"
#include "platform/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto dictionary =
        quillo::platform::PropertyListDictionary::parse(quillo::fuzz::bytesOf(data, size));
    if (!dictionary) {
        return 0;
    }
    constexpr std::array kKeys{"CFBundleIdentifier",           "CFBundleName",
                               "CFBundleDisplayName",          "NSCameraUsageDescription",
                               "NSMicrophoneUsageDescription", ""};
    for (const char* key : kKeys) {
        if (dictionary->contains(key)) {
            (void)dictionary->stringValue(key);
        }
    }
    return 0;
}
