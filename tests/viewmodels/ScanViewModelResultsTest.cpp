#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewmodels/ScanViewModelFixture.h"

namespace quillo {
namespace {

using testing::ScanViewModelTest;
using ScanViewModelResultsTest = ScanViewModelTest;
using ScanViewModelSearchTest = ScanViewModelTest;
using ScanViewModelSelectionTest = ScanViewModelTest;

constexpr auto kTemp = CleaningModuleID::tempFiles;
constexpr auto kLogs = CleaningModuleID::systemLogs;

std::vector<std::string> namesOf(const ScanViewModel::ItemRefs& items) {
    std::vector<std::string> names;
    for (const auto* item : items) {
        names.push_back(item->displayName);
    }
    return names;
}

TEST_F(ScanViewModelResultsTest, DerivedFieldsFollowTheResults) {
    auto& model = makeViewModel();
    const auto a = item(kTemp, "a", 10);
    const auto b = item(kTemp, "b", 20);
    const auto c = item(kLogs, "c", 30);
    model.applyResults({{kTemp, {a, b}}, {kLogs, {c}}, {CleaningModuleID::fontCache, {}}});

    EXPECT_EQ(model.cachedAllItems().size(), 3U);
    EXPECT_EQ(model.itemsByID().size(), 3U);
    ASSERT_NE(model.itemsByID().find(b.id), nullptr);
    EXPECT_EQ(*model.itemsByID().find(b.id), b);
    EXPECT_EQ(model.itemsByID().find(Uuid::random()), nullptr);
    EXPECT_EQ(model.bytesPerModule(),
              (ScanViewModel::BytesPerModule{
                  {kTemp, 30}, {kLogs, 30}, {CleaningModuleID::fontCache, 0}}));
    EXPECT_EQ(model.totalBytes(), 60);
}

TEST_F(ScanViewModelResultsTest, LaterItemWithTheSameIdentifierWinsTheLookup) {
    auto& model = makeViewModel();
    auto first = item(kTemp, "first", 10);
    auto second = item(kTemp, "second", 30);
    second.id = first.id;
    model.applyResults({{kTemp, {first, second}}});

    EXPECT_EQ(model.cachedAllItems().size(), 2U);
    EXPECT_EQ(model.itemsByID().size(), 1U);
    EXPECT_EQ(model.itemsByID().find(first.id)->displayName, "second");
    EXPECT_EQ(model.bytesPerModule().at(kTemp), 40);
    model.toggleSelection(first.id);
    EXPECT_EQ(model.selectedBytes(), 30);
    EXPECT_EQ(model.selectedItems(), CleanableItems{second});
}

TEST_F(ScanViewModelResultsTest, RemovingDeletedItemsKeepsEmptiedModulesAndThePhase) {
    auto temp = scripted(kTemp);
    auto logs = scripted(kLogs);
    auto& model = makeViewModel({temp, logs});
    const auto a = item(kTemp, "a", 100);
    const auto b = item(kTemp, "b", 200);
    const auto c = item(kTemp, "c", 400);
    const auto log = item(kLogs, "log", 1000);
    model.startScan();
    temp->finish(0, CleanableItems{a, b, c});
    logs->finish(0, CleanableItems{log});
    settle();
    model.toggleSelection(a.id);
    model.toggleSelection(log.id);
    model.toggleSelection(c.id);

    model.removeDeletedItems({log.id, b.id, Uuid::random()});
    EXPECT_EQ(model.phase(), Phase{Completed{}});
    EXPECT_EQ(model.resultsByModule(), (ScanResults{{kTemp, {a, c}}, {kLogs, {}}}));
    EXPECT_EQ(model.bytesPerModule(), (ScanViewModel::BytesPerModule{{kTemp, 500}, {kLogs, 0}}));
    EXPECT_EQ(model.totalBytes(), 500);
    EXPECT_EQ(model.selectedItemIDs(), (ScanViewModel::ItemIDs{a.id, c.id}));
    EXPECT_EQ(model.selectedBytes(), 500);
    EXPECT_FALSE(model.itemsByID().contains(log.id));
    EXPECT_TRUE(model.visibleItems(kLogs).empty());
    // Shown largest first, the list's default order.
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), (std::vector<std::string>{"c", "a"}));
}

TEST_F(ScanViewModelSearchTest, BlankQueryShowsEveryItemInOrder) {
    auto& model = makeViewModel();
    model.applyResults({{kTemp, {item(kTemp, "b"), item(kTemp, "a"), item(kTemp, "c")}}});
    model.setSearchQuery(" \t\n\r\u00A0\u2028 ");
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_TRUE(model.visibleItems(kLogs).empty()) << "a module without an entry shows nothing";
}

TEST_F(ScanViewModelSearchTest, QueryMatchesNameOrPathIgnoringCaseAndSurroundingBlanks) {
    auto& model = makeViewModel();
    model.applyResults(
        {{kTemp,
          {item(kTemp, "Cache.db", 1, "/fake/Library/Caches/com.example.App"),
           item(kTemp, "report.log", 1, "/fake/Logs"), item(kTemp, "Notes", 1, "/fake/Data")}}});
    model.setSearchQuery("REPORT");
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), std::vector<std::string>{"report.log"});
    // Only in the folder part of the path.
    model.setSearchQuery("example.app");
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), std::vector<std::string>{"Cache.db"});
    model.setSearchQuery("  logs\n");
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), std::vector<std::string>{"report.log"});
    model.setSearchQuery("/FAKE/");
    EXPECT_EQ(model.visibleItems(kTemp).size(), 3U);
    // The blanks inside a query count.
    model.setSearchQuery("cache .db");
    EXPECT_TRUE(model.visibleItems(kTemp).empty());
}

TEST_F(ScanViewModelSearchTest, AccentedLettersMatchWhateverTheirCaseAndComposition) {
    auto& model = makeViewModel();
    model.applyResults({{kTemp,
                         {item(kTemp, "Äpfel-Liste"), item(kTemp, "Cafe\u0301-Notizen"),
                          item(kTemp, "data", 1, "/fake/\xFF-bytes")}}});
    model.setSearchQuery("äPFEL");
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), std::vector<std::string>{"Äpfel-Liste"});
    model.setSearchQuery("CAF\u00C9");
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), std::vector<std::string>{"Cafe\u0301-Notizen"});
    // A path that is not UTF-8 is still searched by its ASCII letters.
    model.setSearchQuery("-BYTES");
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), std::vector<std::string>{"data"});
}

// The index is folded ahead in slices on the main queue; a search may come before, between or
// after them and must find the same.
TEST_F(ScanViewModelSearchTest, ASearchFindsTheSameWhetherTheIndexIsReadyPartlyOrNotAtAll) {
    auto& model = makeViewModel();
    CleanableItems many;
    for (int index = 0; index < 20'000; ++index) {
        many.push_back(item(kTemp, "item-" + std::to_string(index), 100 + index));
    }
    const std::vector<std::string> expected{"item-19999", "item-19998", "item-19997", "item-19996",
                                            "item-19995", "item-19994", "item-19993", "item-19992",
                                            "item-19991", "item-19990", "item-1999"};
    for (const std::size_t slicesRun : {0, 1, 100}) {
        SCOPED_TRACE(slicesRun);
        model.applyResults({{kTemp, many}, {kLogs, {item(kLogs, "item-1999.log")}}});
        for (std::size_t slice = 0; slice < slicesRun && main->runOne(); ++slice) {
        }
        model.setSearchQuery("ITEM-1999");
        EXPECT_EQ(namesOf(model.visibleItems(kTemp)), expected);
        EXPECT_EQ(namesOf(model.visibleItems(kLogs)), std::vector<std::string>{"item-1999.log"});
        main->runAll();
        EXPECT_EQ(namesOf(model.visibleItems(kTemp)), expected) << "after the slices";
        model.setSearchQuery("");
        model.applyResults({});
    }
}

TEST_F(ScanViewModelSearchTest, SearchSeesResultsThatChangedAfterAnEarlierSearch) {
    auto& model = makeViewModel();
    model.applyResults({{kTemp, {item(kTemp, "alpha")}}});
    model.setSearchQuery("beta");
    EXPECT_TRUE(model.visibleItems(kTemp).empty());
    model.applyResults({{kTemp, {item(kTemp, "beta"), item(kTemp, "alphabeta")}}});
    background->runAll();  // frees the replaced results and their index
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), (std::vector<std::string>{"beta", "alphabeta"}));
}

TEST_F(ScanViewModelResultsTest, ASortMadeAheadForReplacedResultsIsDropped) {
    auto& model = makeViewModel();
    model.applyResults(
        {{kTemp, {item(kTemp, "small", 1), item(kTemp, "large", 3), item(kTemp, "middle", 2)}}});
    background->runAll();  // the sorted list waits on the main thread
    model.applyResults({{kTemp, {item(kTemp, "b", 1), item(kTemp, "a", 2)}}});
    settle();
    EXPECT_EQ(namesOf(model.visibleItems(kTemp)), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ScanViewModelSelectionTest, ToggleAddsAndRemovesAndKeepsTheByteCount) {
    auto& model = makeViewModel();
    const auto a = item(kTemp, "a", 10);
    const auto b = item(kLogs, "b", 20);
    model.applyResults({{kTemp, {a}}, {kLogs, {b}}});
    const auto subscription = listen();

    model.toggleSelection(a.id);
    model.toggleSelection(b.id);
    EXPECT_TRUE(model.isSelected(a.id));
    EXPECT_EQ(model.selectedBytes(), 30);
    model.toggleSelection(a.id);
    EXPECT_FALSE(model.isSelected(a.id));
    EXPECT_EQ(model.selectedBytes(), 20);
    EXPECT_EQ(model.selectedItems(), CleanableItems{b});
    EXPECT_EQ(heardFields, std::vector<std::string>(3, "selectedItemIDs"));
}

TEST_F(ScanViewModelSelectionTest, SelectSafeTakesOnlySafeOldItemsOfEveryModule) {
    auto& model = makeViewModel();
    const auto safe = item(kTemp, "safe", 1);
    auto recent = item(kTemp, "recent", 2);
    recent.warnings = {CleanableItemWarning::recentlyModified};
    auto unsafe = item(kTemp, "unsafe", 4);
    unsafe.isSafeToDeleteByDefault = false;
    auto large = item(kLogs, "large", 8);
    large.warnings = {CleanableItemWarning::largeFile};
    model.applyResults({{kTemp, {safe, recent, unsafe}}, {kLogs, {large}}});
    model.toggleSelection(unsafe.id);
    model.setSearchQuery("safe");  // hides the other module's item, which still counts

    model.selectSafe();
    EXPECT_EQ(model.selectedItemIDs(), (ScanViewModel::ItemIDs{safe.id, large.id}));
    EXPECT_EQ(model.selectedBytes(), 9);
}

TEST_F(ScanViewModelSelectionTest, SelectSafeWithoutAQualifyingItemEmptiesTheSelection) {
    auto& model = makeViewModel();
    auto unsafe = item(kTemp, "unsafe", 4);
    unsafe.isSafeToDeleteByDefault = false;
    model.applyResults({{kTemp, {unsafe}}});
    model.toggleSelection(unsafe.id);
    model.selectSafe();
    EXPECT_TRUE(model.selectedItemIDs().empty());
    EXPECT_EQ(model.selectedBytes(), 0);
}

TEST_F(ScanViewModelSelectionTest, SelectAllAndClear) {
    auto& model = makeViewModel();
    auto unsafe = item(kTemp, "unsafe", 4);
    unsafe.isSafeToDeleteByDefault = false;
    const auto other = item(kLogs, "other", 6);
    model.applyResults({{kTemp, {unsafe}}, {kLogs, {other}}});

    model.selectAll();
    EXPECT_EQ(model.selectedItemIDs(), (ScanViewModel::ItemIDs{unsafe.id, other.id}));
    EXPECT_EQ(model.selectedBytes(), 10);
    model.clearSelection();
    EXPECT_TRUE(model.selectedItemIDs().empty());
    EXPECT_EQ(model.selectedBytes(), 0);
}

TEST_F(ScanViewModelSelectionTest, SelectedIdentifiersWithoutAnItemCountForNothing) {
    auto& model = makeViewModel();
    const auto gone = item(kTemp, "gone", 100);
    const auto stays = item(kTemp, "stays", 7);
    model.applyResults({{kTemp, {gone, stays}}});
    model.toggleSelection(gone.id);
    model.toggleSelection(stays.id);
    model.toggleSelection(Uuid::random());

    model.applyResults({{kTemp, {stays}}});
    EXPECT_EQ(model.selectedItemIDs().size(), 3U);
    EXPECT_EQ(model.selectedBytes(), 7);
    EXPECT_EQ(model.selectedItems(), CleanableItems{stays});

    // An identifier selected before its item arrives counts once the item is there.
    model.applyResults({{kTemp, {gone, stays}}});
    EXPECT_EQ(model.selectedBytes(), 107);
}

TEST_F(ScanViewModelResultsTest, AssigningWhatIsAlreadyThereTellsNobody) {
    auto& model = makeViewModel();
    const ScanResults results{{kTemp, {item(kTemp, "a"), item(kTemp, "b")}}};
    model.applyResults(results);
    model.selectAll();
    model.setSearchQuery("a");
    const auto subscription = listen();
    model.applyResults(results);
    model.removeDeletedItems({Uuid::random()});
    model.selectAll();
    model.selectSafe();
    model.setSearchQuery("a");
    EXPECT_TRUE(heardFields.empty());
    model.setSearchQuery("b");
    EXPECT_EQ(heardFields, std::vector<std::string>{"searchQuery"});
}

}  // namespace
}  // namespace quillo
