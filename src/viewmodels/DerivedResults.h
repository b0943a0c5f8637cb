#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "model/ItemSortOrder.h"
#include "modules/CleaningEngine.h"
#include "viewmodels/ItemIndex.h"
#include "viewmodels/ItemSearchIndex.h"

namespace quillo {

/// Positions of items in their module's list.
using ItemPositions = std::vector<std::uint32_t>;

/// Each item's size or date (`key` is not `name`) as a number, in list order: what a sort needs
/// of the items, so that it can run where the items may not be read.
std::vector<std::int64_t> sortKeys(const CleanableItems& items, ItemSortKey key);
/// The positions of `keys` in ascending or descending order; ties keep the list's order.
ItemPositions positionsByKey(const std::vector<std::int64_t>& keys, bool descending);
/// The positions of `items` in `order`; ties keep the list's order. Names compare folded, so
/// that case and how an accent was typed do not split the order.
ItemPositions sortedPositions(const CleanableItems& items, ItemSortOrder order);

/// What the scan view model keeps ready from the results: every item, items by identifier and
/// the sizes. The items are held by address, so the results must stay where they are.
struct DerivedResults {
    std::vector<const CleanableItem*> all;
    ItemIndex byID;
    std::map<CleaningModuleID, std::int64_t> bytesPerModule;
    std::int64_t totalBytes = 0;

    explicit DerivedResults(const ScanResults& results);
};

/// A finished scan's results with all the view model derives from them, made off the main
/// thread: taking them there then walks no item. Moving the results keeps every item in place.
struct PreparedResults {
    ScanResults results;
    DerivedResults derived;
    ItemSortOrder order;
    std::map<CleaningModuleID, ItemPositions> sorted;
    std::map<CleaningModuleID, ItemSearchIndex> searchIndexes;

    PreparedResults(ScanResults scanned, ItemSortOrder sortOrder);
};

}  // namespace quillo
