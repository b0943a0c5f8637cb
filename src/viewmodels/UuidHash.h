#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/Uuid.h"

namespace quillo {

/// Hashes an identifier by its leading eight bytes, which are random in every identifier this
/// system makes: cheaper than mixing all sixteen for tables of a whole scan's items.
struct UuidHash {
    std::size_t operator()(const Uuid& id) const noexcept {
        std::uint64_t leading = 0;
        std::memcpy(&leading, id.bytes().data(), sizeof leading);
        return static_cast<std::size_t>(leading);
    }
};

/// The slot of `id` in an open-addressing table of `slotCount` slots (a power of two) with
/// linear probing: the first from its home slot on that `stopsAt`, which must say true of the
/// slot holding `id` and of every free slot.
template <typename StopsAt>
std::size_t probedSlot(const Uuid& id, std::size_t slotCount, StopsAt stopsAt) {
    const std::size_t mask = slotCount - 1;
    std::size_t slot = UuidHash{}(id)&mask;
    while (!stopsAt(slot)) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

}  // namespace quillo
