#pragma once

#include <chrono>

namespace quillo {

using TimePoint = std::chrono::system_clock::time_point;

/// The earliest time a file can be said to have: 0001-01-01 00:00:00 UTC, standing in where the
/// file system gives no time.
inline constexpr TimePoint distantPast() {
    using namespace std::chrono;
    return time_point_cast<system_clock::duration>(sys_days{year{1} / January / 1});
}

}  // namespace quillo
