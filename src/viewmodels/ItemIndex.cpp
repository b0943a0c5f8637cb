#include "viewmodels/ItemIndex.h"

#include <bit>

#include "viewmodels/UuidHash.h"

namespace quillo {

ItemIndex::ItemIndex(const std::vector<const CleanableItem*>& items) {
    if (items.empty()) {
        return;
    }
    slots_.assign(std::bit_ceil(items.size() * 2), nullptr);
    // A large table misses the cache at nearly every insert; asking for the slots of the items a
    // little ahead lets those misses overlap instead of queueing one after the other.
    constexpr std::size_t kPrefetchDistance = 16;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t position = 0; position < items.size(); ++position) {
        if (position + kPrefetchDistance < items.size()) {
            const auto& ahead = items[position + kPrefetchDistance]->id;
            __builtin_prefetch(&slots_[UuidHash{}(ahead)&mask], 1);
        }
        const auto* item = items[position];
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
    return probedSlot(id, slots_.size(), [&](std::size_t slot) {
        return slots_[slot] == nullptr || slots_[slot]->id == id;
    });
}

}  // namespace quillo
