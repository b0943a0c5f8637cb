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

}  // namespace quillo
