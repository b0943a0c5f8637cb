#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "modules/NestedItemOrder.h"

namespace quillo {
namespace {

using ::testing::ElementsAre;
using Paths = std::vector<std::filesystem::path>;

CleanableItems itemsAt(const std::vector<std::string>& paths) {
    CleanableItems items;
    for (const auto& path : paths) {
        CleanableItem item;
        item.url = path;
        item.displayName = path;
        items.push_back(std::move(item));
    }
    return items;
}

Paths reorderedURLs(const std::vector<std::string>& paths) {
    Paths urls;
    for (const auto& item : innermostFirst(itemsAt(paths))) {
        urls.push_back(item.url);
    }
    return urls;
}

TEST(NestedItemOrderTest, UnrelatedItemsKeepTheirOrder) {
    EXPECT_THAT(reorderedURLs({"/t/c", "/t/a", "/u/b"}), ElementsAre("/t/c", "/t/a", "/u/b"));
    EXPECT_TRUE(innermostFirst({}).empty());
}

TEST(NestedItemOrderTest, AWalkedFolderGoesAfterEverythingInsideItDeepestFirst) {
    // The order a deep scan offers them in: a folder before its contents.
    EXPECT_THAT(reorderedURLs({"/t/build", "/t/build/a.o", "/t/build/sub", "/t/build/sub/b.o"}),
                ElementsAre("/t/build/sub/b.o", "/t/build/a.o", "/t/build/sub", "/t/build"));
}

TEST(NestedItemOrderTest, EveryItemPrecedesEachItemHoldingIt) {
    const auto urls = reorderedURLs({"/t/a", "/t/a/s", "/t/a/s/y", "/t/a/t", "/t/a/t/z", "/t/a/x"});
    const auto position = [&](const std::filesystem::path& url) {
        return std::ranges::find(urls, url) - urls.begin();
    };
    ASSERT_EQ(urls.size(), 6U);
    EXPECT_LT(position("/t/a/s/y"), position("/t/a/s"));
    EXPECT_LT(position("/t/a/t/z"), position("/t/a/t"));
    for (const auto* inner : {"/t/a/s", "/t/a/t", "/t/a/x"}) {
        EXPECT_LT(position(inner), position("/t/a")) << inner;
    }
    EXPECT_EQ(urls.back(), "/t/a");
}

TEST(NestedItemOrderTest, ANestedGroupTakesThePlaceOfItsOutermostItem) {
    EXPECT_THAT(reorderedURLs({"/t/b", "/t/a", "/t/a/x", "/t/c"}),
                ElementsAre("/t/b", "/t/a/x", "/t/a", "/t/c"));
    // Contents offered before their folder move to where the folder stands.
    EXPECT_THAT(reorderedURLs({"/t/a/x", "/t/b", "/t/a"}), ElementsAre("/t/b", "/t/a/x", "/t/a"));
}

TEST(NestedItemOrderTest, ItemsOfEqualDepthInAGroupKeepTheirOrder) {
    EXPECT_THAT(reorderedURLs({"/t/a", "/t/a/z", "/t/a/m", "/t/a/b"}),
                ElementsAre("/t/a/z", "/t/a/m", "/t/a/b", "/t/a"));
}

TEST(NestedItemOrderTest, AFolderHoldsItemsBelowFoldersThatAreNotOffered) {
    EXPECT_THAT(reorderedURLs({"/t/a", "/t/b", "/t/a/s/deep/y"}),
                ElementsAre("/t/a/s/deep/y", "/t/a", "/t/b"));
}

TEST(NestedItemOrderTest, ASharedNamePrefixIsNoNesting) {
    EXPECT_THAT(reorderedURLs({"/t/a", "/t/ab", "/t/a.log"}),
                ElementsAre("/t/a", "/t/ab", "/t/a.log"));
}

TEST(NestedItemOrderTest, NamesSortingBetweenAFolderAndItsContentsDoNotHideTheNesting) {
    // As text "/t/a-b" and "/t/a.d" sort between "/t/a" and "/t/a/x" ('-' and '.' precede '/').
    EXPECT_THAT(reorderedURLs({"/t/a", "/t/a-b", "/t/a.d", "/t/a/x"}),
                ElementsAre("/t/a/x", "/t/a", "/t/a-b", "/t/a.d"));
}

TEST(NestedItemOrderTest, AFolderGivenWithATrailingSeparatorHoldsItsContents) {
    EXPECT_THAT(reorderedURLs({"/t/a/", "/t/a/x"}), ElementsAre("/t/a/x", "/t/a/"));
}

TEST(NestedItemOrderTest, TheSameLocationTwiceIsNoNesting) {
    EXPECT_THAT(reorderedURLs({"/t/a", "/t/b", "/t/a"}), ElementsAre("/t/a", "/t/b", "/t/a"));
}

TEST(NestedItemOrderTest, ItemsMoveWhole) {
    auto items = itemsAt({"/t/a", "/t/a/x"});
    items[0].sizeInBytes = 8192;
    items[0].warnings = {CleanableItemWarning::largeFile};
    items[1].isSafeToDeleteByDefault = true;
    const auto reordered = innermostFirst(items);
    EXPECT_THAT(reordered, ElementsAre(items[1], items[0]));
}

}  // namespace
}  // namespace quillo
