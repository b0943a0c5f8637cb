#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>

#include "support/Formatting.h"
#include "support/ScopedTimeZone.h"

namespace quillo::support {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// 2025-03-14T09:26:53Z
const TimePoint kSample(seconds(1'741'944'413));

TEST(FormattingTest, ByteCountsInDecimalUnitsWithGermanDigits) {
    EXPECT_EQ(formatByteCount(0), "0 Byte");
    EXPECT_EQ(formatByteCount(999), "999 Byte");
    EXPECT_EQ(formatByteCount(1000), "1 kB");
    EXPECT_EQ(formatByteCount(1499), "1 kB");
    EXPECT_EQ(formatByteCount(1500), "2 kB");
    EXPECT_EQ(formatByteCount(999'499), "999 kB");
    EXPECT_EQ(formatByteCount(999'500), "1 MB");
    EXPECT_EQ(formatByteCount(1'234'567), "1,2 MB");
    EXPECT_EQ(formatByteCount(1'000'000), "1 MB");
    EXPECT_EQ(formatByteCount(1'250'000'000), "1,25 GB");
    EXPECT_EQ(formatByteCount(1'205'000'000), "1,21 GB");
    EXPECT_EQ(formatByteCount(999'999'999'999), "1 TB");
    EXPECT_EQ(formatByteCount(-1'234'567), "-1,2 MB");
    EXPECT_EQ(formatByteCount(std::numeric_limits<std::int64_t>::max()), "9,22 EB");
    EXPECT_EQ(formatByteCount(std::numeric_limits<std::int64_t>::min()), "-9,22 EB");
}

TEST(FormattingTest, LongDateAndMediumTimeInTheLocalZone) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    EXPECT_EQ(formatLongDateMediumTime(kSample), "14. März 2025 um 10:26:53");
    EXPECT_EQ(formatLongDateMediumTime(TimePoint(seconds(1'704'067'199))),
              "1. Januar 2024 um 00:59:59");
}

TEST(FormattingTest, LongDatesOfCalendarDaysIgnoreTheTimeZone) {
    using namespace std::chrono;
    const testing::ScopedTimeZone zone("America/Los_Angeles");
    EXPECT_EQ(formatLongDate(year_month_day(year(2026), June, day(10))), "10. Juni 2026");
    EXPECT_EQ(formatLongDate(year_month_day(year(2024), January, day(1))), "1. Januar 2024");
    EXPECT_EQ(formatLongDate(year_month_day(year(1999), December, day(31))), "31. Dezember 1999");
    EXPECT_EQ(formatLongDate(year_month_day(year(2026), February, day(30))), "");
}

TEST(FormattingTest, IsoTimesAreUtcWithoutFraction) {
    EXPECT_EQ(formatISO8601UTC(kSample + milliseconds(900)), "2025-03-14T09:26:53Z");
    EXPECT_EQ(formatISO8601UTC(TimePoint(seconds(-1)) + milliseconds(500)), "1969-12-31T23:59:59Z");
    EXPECT_EQ(formatISO8601UTC(TimePoint(seconds(0))), "1970-01-01T00:00:00Z");
}

TEST(FormattingTest, FileNameTimestampsUseTheLocalZone) {
    const testing::ScopedTimeZone zone("UTC");
    EXPECT_EQ(formatFileNameTimestamp(kSample), "2025-03-14-092653");
    const testing::ScopedTimeZone tokyo("Asia/Tokyo");
    EXPECT_EQ(formatFileNameTimestamp(kSample), "2025-03-14-182653");
}

TEST(FormattingTest, LocalISO8601TimesHaveNoZoneDesignator) {
    const testing::ScopedTimeZone tokyo("Asia/Tokyo");
    EXPECT_EQ(formatLocalISO8601(kSample), "2025-03-14T18:26:53");
}

}  // namespace
}  // namespace quillo::support
