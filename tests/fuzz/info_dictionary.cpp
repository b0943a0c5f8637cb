// A bundle's Info.plist as the uninstaller and the quit request read it.
#include <array>

#include "FuzzInput.h"
#include "platform/ApplicationBundle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillo::platform;
    const auto info = InfoDictionary::parse(quillo::fuzz::bytesOf(data, size));
    if (!info) {
        return 0;
    }
    (void)bundleIdentifier(*info);
    (void)bundleDisplayName(*info, "/home/user/Applications/Example.app");
    constexpr std::array kKeys{"CFBundleExecutable", "CFBundleShortVersionString", ""};
    for (const char* key : kKeys) {
        (void)info->string(key);
    }
    return 0;
}
