#include <gtest/gtest.h>

#include <limits>

#include "text/Format.h"

namespace quillo::text {
namespace {

using Arguments = std::vector<FormatArgument>;

TEST(FormatTest, PlaceholdersInOrderTakeTheArgumentsInOrder) {
    EXPECT_EQ(formatPattern("%lld Objekte, %@", Arguments{std::int64_t{3}, "2 kB"}),
              "3 Objekte, 2 kB");
}

TEST(FormatTest, PositionalPlaceholdersPickTheirArgument) {
    EXPECT_EQ(formatPattern("%1$lld · %2$@", Arguments{std::int64_t{4}, "1,2 MB"}), "4 · 1,2 MB");
    EXPECT_EQ(formatPattern("%2$@ · %1$lld", Arguments{std::int64_t{4}, "1,2 MB"}), "1,2 MB · 4");
    EXPECT_EQ(formatPattern("%1$@ und nochmals %1$@", Arguments{"A"}), "A und nochmals A");
}

TEST(FormatTest, ReorderedTextArgumentsSwapPlacesNotRoles) {
    const Arguments arguments{"found", "selected"};
    EXPECT_EQ(formatPattern("%1$@ gefunden · %2$@ ausgewählt", arguments),
              "found gefunden · selected ausgewählt");
    EXPECT_EQ(formatPattern("%2$@ ausgewählt · %1$@ gefunden", arguments),
              "selected ausgewählt · found gefunden");
}

TEST(FormatTest, IntegersAreDecimalWithoutGrouping) {
    EXPECT_EQ(formatPattern("%lld", Arguments{std::int64_t{1234567}}), "1234567");
    EXPECT_EQ(formatPattern("%lld", Arguments{std::int64_t{-42}}), "-42");
    EXPECT_EQ(formatPattern("%lld", Arguments{std::numeric_limits<std::int64_t>::min()}),
              "-9223372036854775808");
}

TEST(FormatTest, DoublePercentIsAPercentSign) {
    EXPECT_EQ(formatPattern("100%% von %@", Arguments{"allem"}), "100% von allem");
    EXPECT_EQ(formatPattern("%%@", Arguments{"x"}), "%@");
}

TEST(FormatTest, PlaceholderWithoutItsArgumentStaysVisible) {
    EXPECT_EQ(formatPattern("%1$lld / %2$lld", Arguments{std::int64_t{1}}), "1 / %2$lld");
    EXPECT_EQ(formatPattern("%@ und %@", Arguments{"eins"}), "eins und %@");
    EXPECT_EQ(formatPattern("Fehler: %@", Arguments{}), "Fehler: %@");
}

TEST(FormatTest, PlaceholderWithAnArgumentOfTheOtherKindStaysVisible) {
    EXPECT_EQ(formatPattern("%lld Tage", Arguments{"sieben"}), "%lld Tage");
    EXPECT_EQ(formatPattern("%1$@ · %2$lld", Arguments{std::int64_t{1}, std::int64_t{2}}),
              "%1$@ · 2");
    // The mismatched argument still holds its place for the next placeholder in order.
    EXPECT_EQ(formatPattern("%@ %lld", Arguments{std::int64_t{1}, std::int64_t{2}}), "%@ 2");
}

TEST(FormatTest, OtherPercentSequencesAreLeftAsTheyAre) {
    const Arguments arguments{"x", std::int64_t{1}};
    EXPECT_EQ(formatPattern("50 %", arguments), "50 %");
    EXPECT_EQ(formatPattern("%d %s %ld", arguments), "%d %s %ld");
    EXPECT_EQ(formatPattern("%0$@", arguments), "%0$@");
    EXPECT_EQ(formatPattern("%3$@", arguments), "%3$@");
    EXPECT_EQ(formatPattern("%99999999999999999999999$@", arguments), "%99999999999999999999999$@");
    EXPECT_EQ(formatPattern("%1$", arguments), "%1$");
    EXPECT_EQ(formatPattern("%1@", arguments), "%1@");
}

TEST(FormatTest, TextWithoutPlaceholdersIsUnchanged) {
    EXPECT_EQ(formatPattern("", Arguments{"x"}), "");
    EXPECT_EQ(formatPattern("Fertig", Arguments{"x"}), "Fertig");
}

TEST(FormatTest, ArgumentsAreNotScannedForPlaceholders) {
    EXPECT_EQ(formatPattern("%@ · %@", Arguments{"%@", "b"}), "%@ · b");
}

}  // namespace
}  // namespace quillo::text
