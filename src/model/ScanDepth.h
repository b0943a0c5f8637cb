#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "model/RawValue.h"

namespace quillo {

/// How thoroughly modules that distinguish depths scan.
enum class ScanDepth { standard, deep };

inline constexpr std::array allScanDepths{ScanDepth::standard, ScanDepth::deep};

template <>
struct RawValueTable<ScanDepth> {
    static constexpr std::array<std::pair<ScanDepth, std::string_view>, 2> cases{{
        {ScanDepth::standard, "standard"},
        {ScanDepth::deep, "deep"},
    }};
};

}  // namespace quillo
