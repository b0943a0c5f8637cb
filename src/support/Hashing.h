#pragma once

#include <cstddef>
#include <functional>

namespace quillo::support {

/// Mixes the hash of `value` into `seed`, so that a value type can hash all its fields.
template <class T>
void hashCombine(std::size_t& seed, const T& value) {
    seed ^= std::hash<T>{}(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

/// The combined hash of every field given.
template <class... Fields>
std::size_t hashAll(const Fields&... fields) {
    std::size_t seed = 0;
    (hashCombine(seed, fields), ...);
    return seed;
}

/// The combined hash of a sequence's elements, in order.
template <class Sequence>
std::size_t hashSequence(const Sequence& elements) {
    std::size_t seed = elements.size();
    for (const auto& element : elements) {
        hashCombine(seed, element);
    }
    return seed;
}

}  // namespace quillo::support
