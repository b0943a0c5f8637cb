#include "viewmodels/UuidSet.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "viewmodels/UuidHash.h"

namespace quillo {

void UuidSet::reserve(std::size_t count) {
    if (count * 2 > slots_.size()) {
        rehash(std::bit_ceil(count * 2));
    }
}

void UuidSet::clear() {
    std::ranges::fill(slots_, std::nullopt);
    size_ = 0;
}

bool UuidSet::insert(const Uuid& id) {
    reserve(size_ + 1);
    auto& slot = slots_[slotOf(id)];
    if (slot) {
        return false;
    }
    slot = id;
    ++size_;
    return true;
}

// Backward-shift deletion: later members of the probe run move up into the gap, so lookups
// never need tombstones and an erased table is as fast as a fresh one.
std::size_t UuidSet::erase(const Uuid& id) {
    if (slots_.empty()) {
        return 0;
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t gap = slotOf(id);
    if (!slots_[gap]) {
        return 0;
    }
    slots_[gap].reset();
    --size_;
    for (std::size_t next = (gap + 1) & mask; slots_[next]; next = (next + 1) & mask) {
        const std::size_t home = UuidHash{}(*slots_[next]) & mask;
        // The member may move into the gap unless its home lies cyclically after the gap.
        const bool homeAfterGap =
            gap <= next ? (gap < home && home <= next) : (gap < home || home <= next);
        if (!homeAfterGap) {
            slots_[gap] = std::exchange(slots_[next], std::nullopt);
            gap = next;
        }
    }
    return 1;
}

bool UuidSet::contains(const Uuid& id) const {
    return !slots_.empty() && slots_[slotOf(id)].has_value();
}

bool operator==(const UuidSet& left, const UuidSet& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (const auto& id : left) {
        if (!right.contains(id)) {
            return false;
        }
    }
    return true;
}

std::size_t UuidSet::slotOf(const Uuid& id) const {
    return probedSlot(id, slots_.size(),
                      [&](std::size_t slot) { return !slots_[slot] || *slots_[slot] == id; });
}

std::size_t UuidSet::nextUsed(std::size_t slot) const {
    while (slot < slots_.size() && !slots_[slot]) {
        ++slot;
    }
    return slot;
}

void UuidSet::rehash(std::size_t slotCount) {
    auto old = std::exchange(slots_, std::vector<std::optional<Uuid>>(slotCount));
    for (const auto& id : old) {
        if (id) {
            slots_[slotOf(*id)] = id;
        }
    }
}

}  // namespace quillo
