#include "system/FullDiskAccessProbe.h"

namespace quillo::FullDiskAccessProbe {

const std::filesystem::path& probePath() {
    static const std::filesystem::path path = "/Library/Application Support/com.apple.TCC/TCC.db";
    return path;
}

const std::optional<std::string>& settingsURL() {
    static const std::optional<std::string> url =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles";
    return url;
}

}  // namespace quillo::FullDiskAccessProbe
