#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "model/TimePoint.h"

// The one place where numbers and dates become text for the user (German).
namespace quillo::support {

/// A byte count in decimal multiples (1 kB = 1000 bytes) with German digits: whole bytes up to
/// 999 ("999 Byte"), kB without decimals, MB with one, GB and larger with two; rounded half away
/// from zero, trailing zeros dropped ("1 MB", "1,2 MB", "1,25 GB"); a value that rounds up to
/// 1000 of its unit is written in the next one.
std::string formatByteCount(std::int64_t bytes);

/// German long date and medium time in the local time zone: "14. März 2025 um 09:26:53".
std::string formatLongDateMediumTime(TimePoint time);

/// German long date of a calendar day, free of any time zone: "10. Juni 2026";
/// nothing for a day that does not exist.
std::string formatLongDate(std::chrono::year_month_day date);

/// "2025-03-14T09:26:53Z": UTC, whole seconds (the fraction is dropped, also before 1970).
std::string formatISO8601UTC(TimePoint time);

/// "2025-03-14-092653" in the local time zone, whatever the user's language or clock setting.
std::string formatFileNameTimestamp(TimePoint time);

/// "2025-03-14T09:26:53": local time zone, whole seconds, no zone designator (the Trash's
/// deletion dates).
std::string formatLocalISO8601(TimePoint time);

}  // namespace quillo::support
