#include <gtest/gtest.h>

#include <chrono>

#include "modules/SnapshotListParsing.h"

namespace quillo {
namespace {

using namespace std::chrono;

TimePoint utc(int y, unsigned mo, unsigned d, int h, int mi, int s) {
    return time_point_cast<system_clock::duration>(sys_days{year{y} / month{mo} / day{d}} +
                                                   hours{h} + minutes{mi} + seconds{s});
}

std::vector<std::string> tokensOf(const std::vector<LocalSnapshot>& snapshots) {
    std::vector<std::string> tokens;
    tokens.reserve(snapshots.size());
    for (const auto& snapshot : snapshots) {
        tokens.push_back(snapshot.dateToken);
    }
    return tokens;
}

TEST(SnapshotListParsingTest, ReadsTheSnapshotsOfAListingInItsOrder) {
    const auto snapshots = parseSnapshotList(
        "Snapshots for disk /:\n"
        "com.apple.TimeMachine.2025-03-15-101112.local\n"
        "com.apple.TimeMachine.2025-03-14-092653.local\n"
        "com.apple.TimeMachine.2025-13-40-999999.local\n"
        "com.apple.TimeMachine.backup.local\n");
    ASSERT_EQ(snapshots.size(), 4U);
    EXPECT_EQ(snapshots[0].dateToken, "2025-03-15-101112");
    EXPECT_EQ(snapshots[0].date, utc(2025, 3, 15, 10, 11, 12));
    EXPECT_EQ(snapshots[1].dateToken, "2025-03-14-092653");
    EXPECT_EQ(snapshots[1].date, utc(2025, 3, 14, 9, 26, 53));
    // A token that is no date stands at the distant past.
    EXPECT_EQ(snapshots[2].dateToken, "2025-13-40-999999");
    EXPECT_EQ(snapshots[2].date, kUnreadableSnapshotDate);
    EXPECT_EQ(snapshots[3].dateToken, "backup");
    EXPECT_EQ(snapshots[3].date, kUnreadableSnapshotDate);
    EXPECT_NE(snapshots[0].id, snapshots[1].id);
    EXPECT_FALSE(snapshots[0].apfsUUID.has_value());
}

TEST(SnapshotListParsingTest, EveryListingGivesNewIdentities) {
    const std::string listing = "com.apple.TimeMachine.2025-03-14-092653.local\n";
    EXPECT_NE(parseSnapshotList(listing).at(0).id, parseSnapshotList(listing).at(0).id);
}

TEST(SnapshotListParsingTest, RecognisesLinesAfterTrimmingSpacesAndTabs) {
    const auto snapshots = parseSnapshotList(
        "  \tcom.apple.TimeMachine.2025-01-02-030405.local \t\n\n\n"
        "\tcom.apple.TimeMachine.2025-01-02-030406.local");
    EXPECT_EQ(tokensOf(snapshots),
              (std::vector<std::string>{"2025-01-02-030405", "2025-01-02-030406"}));
}

TEST(SnapshotListParsingTest, SkipsMalformedLines) {
    const auto snapshots = parseSnapshotList(
        "com.apple.TimeMachine.2025-03-14-092653\n"          // no suffix
        "com.apple.TimeMachine.2025-03-14-092653.local.x\n"  // suffix not at the end
        "xcom.apple.TimeMachine.2025-03-14-092653.local\n"   // prefix not at the start
        "com.apple.os.update-4C1D.local\n"                   // another kind of snapshot
        "com.apple.TimeMachine.local\n"                      // prefix and suffix overlap
        "com.apple.TimeMachine..local\n"                     // empty token
        "com.apple.TimeMachine.2025-03-14-092653.local\r\n"  // a carriage return stays on it
        "Snapshots for disk /:\n"
        "com.apple.TimeMachine.2025-03-14-092654.local\n");
    EXPECT_EQ(tokensOf(snapshots), std::vector<std::string>{"2025-03-14-092654"});
}

TEST(SnapshotListParsingTest, DatesMustBeCalendarDatesAndTimes) {
    EXPECT_EQ(snapshotDate("2024-02-29-235959"), utc(2024, 2, 29, 23, 59, 59));
    EXPECT_EQ(snapshotDate("2025-01-01-000000"), utc(2025, 1, 1, 0, 0, 0));
    EXPECT_FALSE(snapshotDate("2025-02-29-120000"));  // not a leap year
    EXPECT_FALSE(snapshotDate("2025-04-31-120000"));
    EXPECT_FALSE(snapshotDate("2025-00-10-120000"));
    EXPECT_FALSE(snapshotDate("2025-01-00-120000"));
    EXPECT_FALSE(snapshotDate("2025-01-10-240000"));
    EXPECT_FALSE(snapshotDate("2025-01-10-126000"));
    EXPECT_FALSE(snapshotDate("2025-01-10-120060"));
    EXPECT_FALSE(snapshotDate("2025-1-10-120000"));
    EXPECT_FALSE(snapshotDate("2025-01-10-12000"));
    EXPECT_FALSE(snapshotDate("2025-01-10-1200000"));
    EXPECT_FALSE(snapshotDate("2025/01/10-120000"));
    EXPECT_FALSE(snapshotDate("2025-+1-10-120000"));
    EXPECT_FALSE(snapshotDate("2025--1-10-120000"));
    EXPECT_FALSE(snapshotDate("2025-01-10-12 000"));
    EXPECT_FALSE(snapshotDate(""));
}

TEST(SnapshotListParsingTest, DatesOutsideTheClocksRangeAreUnreadable) {
    EXPECT_EQ(snapshotDate("1678-01-01-000000"), utc(1678, 1, 1, 0, 0, 0));
    EXPECT_EQ(snapshotDate("2261-12-31-235959"), utc(2261, 12, 31, 23, 59, 59));
    EXPECT_FALSE(snapshotDate("0001-01-01-000000"));
    EXPECT_FALSE(snapshotDate("1677-01-01-000000"));
    EXPECT_FALSE(snapshotDate("2263-01-01-000000"));
    EXPECT_FALSE(snapshotDate("9999-12-31-235959"));
}

constexpr std::string_view kDiskToolListing =
    "Snapshots for disk3s1s1 (3 found)\n"
    "|\n"
    "+-- 5C1F7A36-0B8F-4E07-9C3A-2D0E5F7B8A91\n"
    "|   Name:        com.apple.os.update-4C1D9F2B\n"
    "|   Snap UUID:   5C1F7A36-0B8F-4E07-9C3A-2D0E5F7B8A91\n"
    "|   XID:         1204\n"
    "|   Purgeable:   No\n"
    "|\n"
    "+-- 0E2B6E54-91D7-4F5C-A0B3-7C9E11D2F3A4\n"
    "|   Name:        com.apple.TimeMachine.2025-03-14-092653.local\n"
    "|   Snap UUID:   0E2B6E54-91D7-4F5C-A0B3-7C9E11D2F3A4\n"
    "|   XID:         58211\n"
    "|   Purgeable:   Yes\n"
    "|\n"
    "+-- 7F3A2C10-4B5E-4D6F-8A9B-0C1D2E3F4A5B\n"
    "    Name:        com.apple.TimeMachine.2025-03-15-101112.local\n"
    "    Snap UUID:\t7F3A2C10-4B5E-4D6F-8A9B-0C1D2E3F4A5B  \n"
    "    XID:         58990\n"
    "    Purgeable:   Yes\n";

TEST(SnapshotListParsingTest, MapsTheDiskToolsIdentifiersToDateTokens) {
    const auto identifiers = parseSnapshotIdentifiers(kDiskToolListing);
    EXPECT_EQ(identifiers, (std::map<std::string, std::string>{
                               {"2025-03-14-092653", "0E2B6E54-91D7-4F5C-A0B3-7C9E11D2F3A4"},
                               {"2025-03-15-101112", "7F3A2C10-4B5E-4D6F-8A9B-0C1D2E3F4A5B"},
                           }));
}

TEST(SnapshotListParsingTest, AnIdentifierCountsOnlyAfterItsOwnNameLine) {
    const auto identifiers = parseSnapshotIdentifiers(
        "|   Snap UUID:   11111111-1111-1111-1111-111111111111\n"
        "|   Name:        com.apple.TimeMachine.2025-03-14-092653.local\n"
        "|   XID:         3\n"
        "|   Name:        com.apple.os.update-4C1D9F2B\n"
        "|   Snap UUID:   22222222-2222-2222-2222-222222222222\n"
        "|   Name:        com.apple.TimeMachine.2025-03-16-000000.local\n"
        "|   Snap UUID:   33333333-3333-3333-3333-333333333333\n"
        "|   Snap UUID:   44444444-4444-4444-4444-444444444444\n");
    // The first identifier has no name before it; the name of another kind of snapshot clears
    // the pending one, so the second is dropped; the fourth has no name of its own.
    EXPECT_EQ(identifiers, (std::map<std::string, std::string>{
                               {"2025-03-16-000000", "33333333-3333-3333-3333-333333333333"}}));
}

TEST(SnapshotListParsingTest, ALaterIdentifierForTheSameSnapshotReplacesTheEarlierOne) {
    const auto identifiers = parseSnapshotIdentifiers(
        "Name: com.apple.TimeMachine.2025-03-14-092653.local\n"
        "Snap UUID: AAAAAAAA-AAAA-AAAA-AAAA-AAAAAAAAAAAA\n"
        "Name: com.apple.TimeMachine.2025-03-14-092653.local\n"
        "Snap UUID: BBBBBBBB-BBBB-BBBB-BBBB-BBBBBBBBBBBB\n");
    EXPECT_EQ(identifiers, (std::map<std::string, std::string>{
                               {"2025-03-14-092653", "BBBBBBBB-BBBB-BBBB-BBBB-BBBBBBBBBBBB"}}));
}

TEST(SnapshotListParsingTest, AnEmptyIdentifierIsNoIdentifier) {
    const auto identifiers = parseSnapshotIdentifiers(
        "Name: com.apple.TimeMachine.2025-03-14-092653.local\n"
        "Snap UUID:   \n"
        "Snap UUID: CCCCCCCC-CCCC-CCCC-CCCC-CCCCCCCCCCCC\n");
    EXPECT_TRUE(identifiers.empty());
}

TEST(SnapshotListParsingTest, EmptyOrForeignOutputGivesNothing) {
    EXPECT_TRUE(parseSnapshotList("").empty());
    EXPECT_TRUE(parseSnapshotIdentifiers("").empty());
    EXPECT_TRUE(parseSnapshotList("No snapshots found\n").empty());
    EXPECT_TRUE(parseSnapshotIdentifiers("No snapshots for disk3s1s1\n").empty());
}

}  // namespace
}  // namespace quillo
