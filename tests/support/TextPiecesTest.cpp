#include <gtest/gtest.h>

#include "support/TextPieces.h"

namespace quillo::support {
namespace {

using Pieces = std::vector<std::string_view>;

TEST(TextPiecesTest, SplitsAtTheSeparatorAndDropsEmptyPieces) {
    EXPECT_EQ(nonEmptyPieces("a\nbb\n\nc\n", '\n'), (Pieces{"a", "bb", "c"}));
    EXPECT_EQ(nonEmptyPieces("\n\nlast", '\n'), (Pieces{"last"}));
    EXPECT_EQ(nonEmptyPieces(std::string_view("A=1\0B=2\0", 8), '\0'), (Pieces{"A=1", "B=2"}));
    EXPECT_TRUE(nonEmptyPieces("", '\n').empty());
    EXPECT_TRUE(nonEmptyPieces("\n\n", '\n').empty());
}

TEST(TextPiecesTest, TrimsOnlyTheGivenCharactersAtTheEnds) {
    EXPECT_EQ(trimmed(" \t a b \t", " \t"), "a b");
    EXPECT_EQ(trimmed("|   Name: x |", "| "), "Name: x");
    EXPECT_EQ(trimmed("   ", " "), "");
    EXPECT_EQ(trimmed("", " "), "");
    EXPECT_EQ(trimmed("\rx\r", " "), "\rx\r");
}

TEST(TextPiecesTest, LowercasesOnlyAsciiLetters) {
    EXPECT_EQ(asciiLowercased("Kernel-PANIC.Log"), "kernel-panic.log");
    EXPECT_EQ(asciiLowercased("\xC3\x84RGER@[Z]"), "\xC3\x84rger@[z]");
    EXPECT_EQ(asciiLowercased(""), "");
}

}  // namespace
}  // namespace quillo::support
