#include "uninstall/BundleDrop.h"

#include <algorithm>

#include "platform/ApplicationBundle.h"

namespace quillo {

std::optional<std::filesystem::path> firstDroppedApplication(
    std::span<const std::filesystem::path> dropped) {
    const auto found = std::find_if(dropped.begin(), dropped.end(), [](const auto& url) {
        return platform::hasApplicationExtension(url);
    });
    if (found == dropped.end()) {
        return std::nullopt;
    }
    return *found;
}

}  // namespace quillo
