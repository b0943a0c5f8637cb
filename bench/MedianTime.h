#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace quillo::bench {

/// The median wall-clock time of `runs` calls of `work`, in milliseconds.
inline double medianMilliseconds(const std::function<void()>& work, int runs) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::ranges::sort(times);
    return times[times.size() / 2];
}

}  // namespace quillo::bench
