#include "system/FullDiskAccessProbe.h"

namespace quillo::FullDiskAccessProbe {

// Readable by root alone, as the protected file is readable only with the grant.
const std::filesystem::path& probePath() {
    static const std::filesystem::path path = "/etc/shadow";
    return path;
}

// No settings page grants this access here.
const std::optional<std::string>& settingsURL() {
    static const std::optional<std::string> url;
    return url;
}

}  // namespace quillo::FullDiskAccessProbe
