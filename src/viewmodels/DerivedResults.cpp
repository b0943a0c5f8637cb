#include "viewmodels/DerivedResults.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "text/SearchText.h"

namespace quillo {

namespace {

template <typename Key>
ItemPositions positionsBy(const std::vector<Key>& keys, bool descending) {
    ItemPositions positions(keys.size());
    std::iota(positions.begin(), positions.end(), 0U);
    std::ranges::stable_sort(positions, [&](std::uint32_t left, std::uint32_t right) {
        return descending ? keys[right] < keys[left] : keys[left] < keys[right];
    });
    return positions;
}

}  // namespace

std::vector<std::int64_t> sortKeys(const CleanableItems& items, ItemSortKey key) {
    std::vector<std::int64_t> keys;
    keys.reserve(items.size());
    for (const auto& item : items) {
        keys.push_back(key == ItemSortKey::size ? item.sizeInBytes
                                                : item.lastModified.time_since_epoch().count());
    }
    return keys;
}

ItemPositions positionsByKey(const std::vector<std::int64_t>& keys, bool descending) {
    return positionsBy(keys, descending);
}

ItemPositions sortedPositions(const CleanableItems& items, ItemSortOrder order) {
    if (order.key != ItemSortKey::name) {
        return positionsBy(sortKeys(items, order.key), order.descending);
    }
    std::vector<std::string> names;
    names.reserve(items.size());
    for (const auto& item : items) {
        names.push_back(SearchText::folded(item.displayName));
    }
    return positionsBy(names, order.descending);
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
