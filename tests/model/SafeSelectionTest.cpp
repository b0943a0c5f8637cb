#include <gtest/gtest.h>

#include <vector>

#include "model/SafeSelection.h"

namespace quillo {
namespace {

struct Case {
    bool safeByDefault;
    std::vector<CleanableItemWarning> warnings;
    bool selected;
};

class SafeSelectionTest : public ::testing::TestWithParam<Case> {};

TEST_P(SafeSelectionTest, TakesSafeItemsThatAreNeitherRecentNorOutOfReach) {
    CleanableItem item;
    item.isSafeToDeleteByDefault = GetParam().safeByDefault;
    item.warnings = GetParam().warnings;
    EXPECT_EQ(belongsToSafeSelection(item), GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(
    Items, SafeSelectionTest,
    ::testing::Values(
        Case{true, {}, true}, Case{true, {CleanableItemWarning::largeFile}, true},
        Case{false, {}, false}, Case{true, {CleanableItemWarning::recentlyModified}, false},
        Case{true,
             {CleanableItemWarning::largeFile, CleanableItemWarning::requiresElevatedPrivileges},
             false}));

}  // namespace
}  // namespace quillo
