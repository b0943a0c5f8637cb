#pragma once

#include <variant>
#include <vector>

namespace quillo::testing {

/// The values of `values` that hold the alternative `T`, in order.
template <class T, class... Alternatives>
std::vector<T> alternativesOf(const std::vector<std::variant<Alternatives...>>& values) {
    std::vector<T> found;
    for (const auto& value : values) {
        if (const auto* typed = std::get_if<T>(&value)) {
            found.push_back(*typed);
        }
    }
    return found;
}

}  // namespace quillo::testing
