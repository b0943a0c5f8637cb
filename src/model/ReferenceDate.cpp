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

// The offset from the reference date is held in nanoseconds too, so the earliest time is bound
// by the offset's range, not the clock's.
bool isRepresentableSecondsSinceReferenceDate(double seconds) {
    constexpr double kMargin = 86'400;
    const double earliest = duration<double>(TimePoint::min().time_since_epoch()).count() + kMargin;
    const double latest = duration<double>(TimePoint::max() - referenceDate()).count() - kMargin;
    return seconds >= earliest && seconds <= latest;
}

TimePoint fromSecondsSinceReferenceDate(double seconds) {
    const auto offset = microseconds(std::llround(seconds * 1e6));
    return referenceDate() + std::chrono::duration_cast<TimePoint::duration>(offset);
}

}  // namespace quillo
