#pragma once

#include <chrono>

namespace quillo {

using TimePoint = std::chrono::system_clock::time_point;

/// The time standing in where the file system gives none: the Unix epoch, which file systems use
/// for "no time" themselves. Earlier dates do not fit the clock's nanoseconds (they end around
/// 1677), and ages measured from it must not overflow.
inline constexpr TimePoint distantPast() {
    return TimePoint{};
}

}  // namespace quillo
