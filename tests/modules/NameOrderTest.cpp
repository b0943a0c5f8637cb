#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "modules/NameOrder.h"

namespace quillo {
namespace {

using ::testing::ElementsAre;

const std::string composedE = "\xc3\xa9";     // U+00E9
const std::string decomposedE = "e\xcc\x81";  // e + U+0301

TEST(NameOrderTest, KeysAreTheCanonicalComposition) {
    EXPECT_EQ(nameSortKey(decomposedE), composedE);
    EXPECT_EQ(nameSortKey(composedE), composedE);
    EXPECT_EQ(nameSortKey("Caches"), "Caches");
    EXPECT_EQ(nameSortKey(""), "");
}

TEST(NameOrderTest, NamesThatAreNotUtf8StandForThemselves) {
    EXPECT_EQ(nameSortKey("bad\xff\xfe"), "bad\xff\xfe");
    EXPECT_EQ(nameSortKey("\xc3"), "\xc3");                  // cut short
    EXPECT_EQ(nameSortKey("\xed\xa0\x80"), "\xed\xa0\x80");  // a lone surrogate
}

TEST(NameOrderTest, SortsByCodePointOfTheLastComponent) {
    std::vector<std::filesystem::path> paths{"/z/b.log", "/y/a.log", "/x/A.log", "/w/\xe2\x82\xac",
                                             "/v/~"};

    sortByName(paths);

    // '~' (U+007E) comes before the euro sign (U+20AC); upper case before lower case.
    EXPECT_THAT(paths, ElementsAre("/x/A.log", "/y/a.log", "/z/b.log", "/v/~", "/w/\xe2\x82\xac"));
}

TEST(NameOrderTest, EqualTextInTwoNormalFormsGetsAFixedOrder) {
    std::vector<std::filesystem::path> forward{composedE + "x", decomposedE + "x", "f"};
    std::vector<std::filesystem::path> backward{decomposedE + "x", "f", composedE + "x"};

    sortByName(forward);
    sortByName(backward);

    EXPECT_THAT(forward, ElementsAre("f", decomposedE + "x", composedE + "x"));
    EXPECT_EQ(forward, backward);
}

}  // namespace
}  // namespace quillo
