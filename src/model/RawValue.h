#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace quillo {

/// Each stored enumeration specialises this with `cases`: every case paired with its raw value,
/// the case name, which is its stored form.
template <class Enum>
struct RawValueTable;

template <class Enum>
std::string_view rawValue(Enum value) {
    for (const auto& [candidate, raw] : RawValueTable<Enum>::cases) {
        if (candidate == value) {
            return raw;
        }
    }
    return {};
}

/// The case whose raw value is exactly `raw` (case-sensitive), or nothing.
template <class Enum>
std::optional<Enum> fromRawValue(std::string_view raw) {
    for (const auto& [candidate, candidateRaw] : RawValueTable<Enum>::cases) {
        if (candidateRaw == raw) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace quillo
