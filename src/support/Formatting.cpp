#include "support/Formatting.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace quillo::support {

namespace {

struct Unit {
    std::string_view name;
    int decimals;
};

constexpr std::array<Unit, 7> kUnits{{
    {"Byte", 0},
    {"kB", 0},
    {"MB", 1},
    {"GB", 2},
    {"TB", 2},
    {"PB", 2},
    {"EB", 2},
}};

// Whole units times 10^decimals, rounded half away from zero, computed in integers so that
// large counts stay exact.
std::uint64_t scaledRounded(std::uint64_t bytes, std::size_t unit, int decimals) {
    std::uint64_t divisor = 1;
    for (std::size_t step = 0; step < unit; ++step) {
        divisor *= 1000;
    }
    for (int digit = 0; digit < decimals; ++digit) {
        divisor /= 10;
    }
    return (bytes / divisor) + ((bytes % divisor) * 2 >= divisor ? 1 : 0);
}

std::uint64_t power10(int exponent) {
    std::uint64_t value = 1;
    for (int step = 0; step < exponent; ++step) {
        value *= 10;
    }
    return value;
}

std::tm localCalendar(TimePoint time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    const std::time_t raw = static_cast<std::time_t>(seconds.time_since_epoch().count());
    std::tm calendar{};
    localtime_r(&raw, &calendar);
    return calendar;
}

constexpr std::array<std::string_view, 12> kMonthNames{
    "Januar", "Februar", "März",      "April",   "Mai",      "Juni",
    "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

// `month` counts from 1.
std::string longDate(int day, unsigned month, int year) {
    return std::to_string(day) + ". " + std::string(kMonthNames[month - 1]) + " " +
           std::to_string(year);
}

}  // namespace

std::string formatByteCount(std::int64_t bytes) {
    const bool negative = bytes < 0;
    // Negating the smallest value would overflow; its magnitude fits in the unsigned type.
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(bytes + 1)) + 1 : static_cast<std::uint64_t>(bytes);
    std::size_t unit = 0;
    while (unit + 1 < kUnits.size() && magnitude >= power10(3 * static_cast<int>(unit + 1))) {
        ++unit;
    }
    std::uint64_t scaled = scaledRounded(magnitude, unit, kUnits[unit].decimals);
    if (unit > 0 && unit + 1 < kUnits.size() && scaled >= 1000 * power10(kUnits[unit].decimals)) {
        ++unit;
        scaled = scaledRounded(magnitude, unit, kUnits[unit].decimals);
    }
    int decimals = kUnits[unit].decimals;
    while (decimals > 0 && scaled % 10 == 0) {
        scaled /= 10;
        --decimals;
    }
    const std::uint64_t divisor = power10(decimals);
    std::string text = negative ? "-" : "";
    text += std::to_string(scaled / divisor);
    if (decimals > 0) {
        std::string fraction = std::to_string(scaled % divisor);
        text += ',';
        text.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += fraction;
    }
    text += ' ';
    text += kUnits[unit].name;
    return text;
}

std::string formatLongDateMediumTime(TimePoint time) {
    const std::tm calendar = localCalendar(time);
    std::array<char, 16> clock{};
    std::snprintf(clock.data(), clock.size(), "%02d:%02d:%02d", calendar.tm_hour, calendar.tm_min,
                  calendar.tm_sec);
    return longDate(calendar.tm_mday, static_cast<unsigned>(calendar.tm_mon) + 1,
                    calendar.tm_year + 1900) +
           " um " + clock.data();
}

std::string formatLongDate(std::chrono::year_month_day date) {
    if (!date.ok()) {
        return {};
    }
    return longDate(static_cast<int>(static_cast<unsigned>(date.day())),
                    static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
}

std::string formatISO8601UTC(TimePoint time) {
    using namespace std::chrono;
    const auto seconds = floor<std::chrono::seconds>(time);
    const auto day = floor<days>(seconds);
    const year_month_day date(day);
    const hh_mm_ss clock(seconds - day);
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text.data();
}

std::string formatFileNameTimestamp(TimePoint time) {
    const std::tm calendar = localCalendar(time);
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d-%02d%02d%02d", calendar.tm_year + 1900,
                  calendar.tm_mon + 1, calendar.tm_mday, calendar.tm_hour, calendar.tm_min,
                  calendar.tm_sec);
    return text.data();
}

std::string formatLocalISO8601(TimePoint time) {
    const std::tm calendar = localCalendar(time);
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d",
                  calendar.tm_year + 1900, calendar.tm_mon + 1, calendar.tm_mday, calendar.tm_hour,
                  calendar.tm_min, calendar.tm_sec);
    return text.data();
}

}  // namespace quillo::support
