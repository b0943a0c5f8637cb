#include "model/ReferenceDate.h"

#include <chrono>
#include <cmath>

namespace quillo {

namespace {

using std::chrono::duration;
using std::chrono::microseconds;

constexpr TimePoint referenceDate() {
    using namespace std::chrono;
    return time_point_cast<system_clock::duration>(sys_days{year{2001} / January / 1});
}

}  // namespace

double secondsSinceReferenceDate(TimePoint time) {
    return duration<double>(time - referenceDate()).count();
}

TimePoint fromSecondsSinceReferenceDate(double seconds) {
    const auto offset = microseconds(std::llround(seconds * 1e6));
    return referenceDate() + std::chrono::duration_cast<TimePoint::duration>(offset);
}

}  // namespace quillo
