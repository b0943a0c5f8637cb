#include "viewmodels/ItemIndex.h"

#include <bit>

#include "viewmodels/UuidHash.h"

namespace quillo {

ItemIndex::ItemIndex(const std::vector<const CleanableItem*>& items) {
    if (items.empty()) {
        return;
    }
    slots_.assign(std::bit_ceil(items.size() * 2), nullptr);
    for (const auto* item : items) {
        auto& slot = slots_[slotOf(item->id)];
        if (slot == nullptr) {
            ++size_;
        }
        slot = item;
    }
}

const CleanableItem* ItemIndex::find(const Uuid& id) const {
    return slots_.empty() ? nullptr : slots_[slotOf(id)];
}

std::size_t ItemIndex::slotOf(const Uuid& id) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = std::hash<Uuid>{}(id)&mask;
    while (slots_[slot] != nullptr && slots_[slot]->id != id) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

}  // namespace quillo
