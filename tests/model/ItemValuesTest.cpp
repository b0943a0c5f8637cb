#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "model/CleanableItem.h"
#include "model/CleanableItemWarning.h"
#include "model/CleaningModuleID.h"
#include "model/ScanDepth.h"
#include "model/TimePoint.h"

namespace quillo {
namespace {

using std::chrono::seconds;

CleanableItem sampleItem() {
    return CleanableItem{Uuid::random(),
                         "/fake/root/Caches/com.example",
                         "com.example",
                         4096,
                         TimePoint(seconds(1'700'000'000)),
                         CleaningModuleID::systemCaches,
                         {CleanableItemWarning::recentlyModified, CleanableItemWarning::largeFile},
                         true};
}

TEST(TimePointTest, TheStandInForNoTimeIsOlderThanAnyFileAndItsAgeDoesNotOverflow) {
    const auto now = std::chrono::system_clock::now();
    EXPECT_LT(distantPast(), now);
    EXPECT_GT(std::chrono::duration_cast<std::chrono::days>(now - distantPast()).count(), 20'000);
}

TEST(CleaningModuleIDTest, RawValuesMatchExactly) {
    EXPECT_EQ(fromRawValue<CleaningModuleID>("fontCache"), CleaningModuleID::fontCache);
    EXPECT_FALSE(fromRawValue<CleaningModuleID>("SystemCaches"));
    EXPECT_FALSE(fromRawValue<CleaningModuleID>(""));
    for (const auto id : allCleaningModuleIDs) {
        EXPECT_EQ(fromRawValue<CleaningModuleID>(rawValue(id)), id);
    }
}

// The names are the descriptors': see DefaultModuleSetTest.
TEST(CleaningModuleIDTest, AllEightInDeclarationOrder) {
    ASSERT_EQ(allCleaningModuleIDs.size(), 8U);
    EXPECT_EQ(allCleaningModuleIDs.front(), CleaningModuleID::systemCaches);
    EXPECT_EQ(allCleaningModuleIDs.back(), CleaningModuleID::fontCache);
    EXPECT_EQ(rawValue(CleaningModuleID::applicationResidual), "applicationResidual");
}

TEST(CleanableItemWarningTest, LabelsKeysAndSymbols) {
    EXPECT_EQ(label(CleanableItemWarning::lockedByRunningProcess).key, "warning.locked");
    EXPECT_EQ(label(CleanableItemWarning::requiresElevatedPrivileges).key, "warning.elevated");
    EXPECT_EQ(label(CleanableItemWarning::hibernationActive).defaultValue, "Tiefschlaf aktiv");
    EXPECT_EQ(symbolName(CleanableItemWarning::kernelPanic), "bolt.trianglebadge.exclamationmark");
    EXPECT_EQ(fromRawValue<CleanableItemWarning>("largeFile"), CleanableItemWarning::largeFile);
    EXPECT_FALSE(fromRawValue<CleanableItemWarning>("locked"));
}

TEST(ScanDepthTest, RawValues) {
    EXPECT_EQ(allScanDepths.size(), 2U);
    EXPECT_EQ(fromRawValue<ScanDepth>("deep"), ScanDepth::deep);
    EXPECT_EQ(rawValue(ScanDepth::standard), "standard");
    EXPECT_FALSE(fromRawValue<ScanDepth>("Deep"));
}

TEST(CleanableItemTest, EqualityAndHashCoverEveryField) {
    const auto item = sampleItem();
    auto copy = item;
    EXPECT_EQ(copy, item);
    EXPECT_EQ(std::hash<CleanableItem>{}(copy), std::hash<CleanableItem>{}(item));

    copy.sizeInBytes += 1;
    EXPECT_NE(copy, item);

    copy = item;
    std::swap(copy.warnings[0], copy.warnings[1]);
    EXPECT_NE(copy, item);
    EXPECT_NE(std::hash<CleanableItem>{}(copy), std::hash<CleanableItem>{}(item));

    copy = item;
    copy.isSafeToDeleteByDefault = false;
    EXPECT_NE(copy, item);
}

TEST(CleanableItemTest, SamePathFoundTwiceGivesTwoItems) {
    EXPECT_NE(sampleItem(), sampleItem());
}

}  // namespace
}  // namespace quillo
