#include "viewmodels/DerivedResults.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "text/SearchText.h"

namespace quillo {

ItemPositions sortedPositions(const CleanableItems& items, ItemSortOrder order) {
    ItemPositions positions(items.size());
    std::iota(positions.begin(), positions.end(), 0U);
    const auto ascending = [&](const auto& key) {
        std::ranges::stable_sort(positions, [&](std::uint32_t left, std::uint32_t right) {
            return order.descending ? key(right) < key(left) : key(left) < key(right);
        });
    };
    switch (order.key) {
        case ItemSortKey::size:
            ascending([&](std::uint32_t position) { return items[position].sizeInBytes; });
            break;
        case ItemSortKey::date:
            ascending([&](std::uint32_t position) { return items[position].lastModified; });
            break;
        case ItemSortKey::name: {
            std::vector<std::string> names;
            names.reserve(items.size());
            for (const auto& item : items) {
                names.push_back(SearchText::folded(item.displayName));
            }
            ascending(
                [&](std::uint32_t position) -> const std::string& { return names[position]; });
            break;
        }
    }
    return positions;
}

namespace {

std::vector<const CleanableItem*> everyItem(const ScanResults& results) {
    std::size_t count = 0;
    for (const auto& entry : results) {
        count += entry.second.size();
    }
    std::vector<const CleanableItem*> all;
    all.reserve(count);
    for (const auto& entry : results) {
        for (const auto& item : entry.second) {
            all.push_back(&item);
        }
    }
    return all;
}

}  // namespace

DerivedResults::DerivedResults(const ScanResults& results) : all(everyItem(results)), byID(all) {
    for (const auto& [module, items] : results) {
        std::int64_t sum = 0;
        for (const auto& item : items) {
            sum += item.sizeInBytes;
        }
        bytesPerModule[module] = sum;
        totalBytes += sum;
    }
}

PreparedResults::PreparedResults(ScanResults scanned, ItemSortOrder sortOrder)
    : results(std::move(scanned)), derived(results), order(sortOrder) {
    for (const auto& [module, items] : results) {
        sorted.emplace(module, sortedPositions(items, order));
        searchIndexes[module].extend(items, items.size());
    }
}

}  // namespace quillo
