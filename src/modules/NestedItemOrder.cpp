#include "modules/NestedItemOrder.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace quillo {

namespace {

bool holds(const std::filesystem::path& folder, const std::filesystem::path& inner) {
    const auto& outer = folder.native();
    const auto& path = inner.native();
    if (path.size() <= outer.size() || !path.starts_with(outer)) {
        return false;
    }
    return outer.ends_with('/') || path[outer.size()] == '/';
}

struct Placement {
    std::size_t group = 0;
    std::size_t depth = 0;
};

}  // namespace

CleanableItems innermostFirst(CleanableItems items) {
    // In path order a folder comes right before everything inside it, so one sweep with a
    // stack of the enclosing items finds each item's outermost enclosing item and its depth.
    std::vector<std::size_t> byPath(items.size());
    std::iota(byPath.begin(), byPath.end(), std::size_t{0});
    std::ranges::stable_sort(byPath, [&](std::size_t left, std::size_t right) {
        return items[left].url < items[right].url;
    });
    std::vector<Placement> placements(items.size());
    std::vector<std::size_t> enclosing;
    for (const auto index : byPath) {
        while (!enclosing.empty() && !holds(items[enclosing.back()].url, items[index].url)) {
            enclosing.pop_back();
        }
        placements[index] = enclosing.empty()
                                ? Placement{.group = index, .depth = 0}
                                : Placement{.group = placements[enclosing.front()].group,
                                            .depth = enclosing.size()};
        enclosing.push_back(index);
    }
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::stable_sort(order, [&](std::size_t left, std::size_t right) {
        const auto& a = placements[left];
        const auto& b = placements[right];
        return a.group != b.group ? a.group < b.group : a.depth > b.depth;
    });
    CleanableItems ordered;
    ordered.reserve(items.size());
    for (const auto index : order) {
        ordered.push_back(std::move(items[index]));
    }
    return ordered;
}

}  // namespace quillo
