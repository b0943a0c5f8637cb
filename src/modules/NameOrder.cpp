#include "modules/NameOrder.h"

#include <glib.h>

#include <algorithm>
#include <memory>
#include <tuple>

namespace quillo {

std::string nameSortKey(std::string_view name) {
    const std::unique_ptr<gchar, decltype(&g_free)> normalized(
        g_utf8_normalize(name.data(), static_cast<gssize>(name.size()), G_NORMALIZE_NFC), &g_free);
    if (!normalized) {
        return std::string(name);
    }
    return normalized.get();
}

void sortByName(std::vector<std::filesystem::path>& paths) {
    struct Keyed {
        std::string key;
        std::string name;
        std::size_t index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(paths.size());
    for (std::size_t index = 0; index < paths.size(); ++index) {
        std::string name = paths[index].filename().native();
        keyed.push_back({nameSortKey(name), std::move(name), index});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& left, const Keyed& right) {
        return std::tie(left.key, left.name) < std::tie(right.key, right.name);
    });
    std::vector<std::filesystem::path> sorted;
    sorted.reserve(paths.size());
    for (const auto& entry : keyed) {
        sorted.push_back(std::move(paths[entry.index]));
    }
    paths = std::move(sorted);
}

}  // namespace quillo
