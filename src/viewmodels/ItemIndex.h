#pragma once

#include <cstddef>
#include <vector>

#include "model/CleanableItem.h"

namespace quillo {

/// Items by identifier, built once from a list: one flat table and no allocation per item, so
/// that indexing a large scan result stays cheap. The items are held by address.
class ItemIndex final {
  public:
    ItemIndex() = default;
    /// A later item with the identifier of an earlier one replaces it.
    explicit ItemIndex(const std::vector<const CleanableItem*>& items);

    /// Nothing (null) when no item has `id`.
    [[nodiscard]] const CleanableItem* find(const Uuid& id) const;
    [[nodiscard]] bool contains(const Uuid& id) const { return find(id) != nullptr; }
    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] bool empty() const { return size_ == 0; }

    /// Indexes built from the same list are equal; indexes of items at other addresses are not.
    friend bool operator==(const ItemIndex&, const ItemIndex&) = default;

  private:
    /// The slot that holds `id`, or the free slot where it belongs.
    [[nodiscard]] std::size_t slotOf(const Uuid& id) const;

    // Open addressing with linear probing, at most half full; null marks a free slot.
    std::vector<const CleanableItem*> slots_;
    std::size_t size_ = 0;
};

}  // namespace quillo
