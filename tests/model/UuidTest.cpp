#include <gtest/gtest.h>

#include <set>

#include "model/Uuid.h"

namespace quillo {
namespace {

TEST(UuidTest, RandomValuesAreVersionFourInCanonicalUpperCase) {
    const auto text = Uuid::random().uppercaseString();
    ASSERT_EQ(text.size(), 36U);
    EXPECT_EQ(text[8], '-');
    EXPECT_EQ(text[13], '-');
    EXPECT_EQ(text[18], '-');
    EXPECT_EQ(text[23], '-');
    EXPECT_EQ(text[14], '4');
    EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos);
    for (const char character : text) {
        EXPECT_TRUE(character == '-' || (character >= '0' && character <= '9') ||
                    (character >= 'A' && character <= 'F'))
            << text;
    }
}

TEST(UuidTest, FreshValuesDiffer) {
    std::set<Uuid> seen;
    for (int index = 0; index < 1000; ++index) {
        EXPECT_TRUE(seen.insert(Uuid::random()).second);
    }
}

TEST(UuidTest, ParsesEitherCaseAndRoundTrips) {
    const auto uuid = Uuid::random();
    EXPECT_EQ(Uuid::parse(uuid.uppercaseString()), uuid);
    const auto parsed = Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->uppercaseString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
}

TEST(UuidTest, RejectsMalformedText) {
    EXPECT_FALSE(Uuid::parse(""));
    EXPECT_FALSE(Uuid::parse("E621E1F8C36C495A93FC0C247A3E6E5F"));
    EXPECT_FALSE(Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5"));
    EXPECT_FALSE(Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5G"));
    EXPECT_FALSE(Uuid::parse("E621E1F8-C36C+495A-93FC-0C247A3E6E5F"));
}

TEST(UuidTest, EqualValuesHashAlike) {
    const auto uuid = Uuid::random();
    const auto copy = *Uuid::parse(uuid.uppercaseString());
    EXPECT_EQ(std::hash<Uuid>{}(uuid), std::hash<Uuid>{}(copy));
}

}  // namespace
}  // namespace quillo
