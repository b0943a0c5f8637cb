#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "model/RawValue.h"

namespace quillo {

/// What the result list is sorted by.
enum class ItemSortKey { name, size, date };

/// The result list's order: by one key, ascending or descending; ties keep the scan's order.
struct ItemSortOrder {
    ItemSortKey key = ItemSortKey::size;
    bool descending = true;

    friend bool operator==(const ItemSortOrder&, const ItemSortOrder&) = default;
};

template <>
struct RawValueTable<ItemSortKey> {
    static constexpr std::array<std::pair<ItemSortKey, std::string_view>, 3> cases{{
        {ItemSortKey::name, "name"},
        {ItemSortKey::size, "size"},
        {ItemSortKey::date, "date"},
    }};
};

}  // namespace quillo
