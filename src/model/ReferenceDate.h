#pragma once

#include "model/TimePoint.h"

namespace quillo {

/// Stored dates are seconds since 2001-01-01 00:00:00 UTC, with fraction.
double secondsSinceReferenceDate(TimePoint time);

/// The inverse, rounded to whole microseconds: a time of microsecond resolution survives the
/// trip through the double exactly.
TimePoint fromSecondsSinceReferenceDate(double seconds);

}  // namespace quillo
