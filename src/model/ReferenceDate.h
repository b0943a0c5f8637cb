#pragma once

#include "model/TimePoint.h"

namespace quillo {

/// Stored dates are seconds since 2001-01-01 00:00:00 UTC, with fraction.
double secondsSinceReferenceDate(TimePoint time);

/// The inverse, rounded to whole microseconds: a time of microsecond resolution survives the
/// trip through the double exactly.
/// Defined only where `isRepresentableSecondsSinceReferenceDate` holds.
TimePoint fromSecondsSinceReferenceDate(double seconds);

/// Whether `seconds` name a time the clock holds, a day kept free at either end: it counts
/// nanoseconds in 64 bits, which reach only from 1677 to 2262. False for NaN.
bool isRepresentableSecondsSinceReferenceDate(double seconds);

}  // namespace quillo
