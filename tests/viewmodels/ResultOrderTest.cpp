#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/EngineTestSupport.h"
#include "support/TemporaryDirectory.h"
#include "system/FileDefaultsStore.h"
#include "viewmodels/ScanViewModel.h"

namespace quillo {
namespace {

using namespace std::chrono_literals;

const TimePoint kDay = std::chrono::sys_days{std::chrono::year{2026} / 3 / 14};

CleanableItem item(const std::string& name, std::int64_t size, TimePoint modified) {
    return CleanableItem{Uuid::random(),
                         "/h/.cache/" + name,
                         name,
                         size,
                         modified,
                         CleaningModuleID::systemCaches,
                         {},
                         true};
}

SettingsEnvironment quietEnvironment() {
    return {.checkFullDiskAccess = [] { return FullDiskAccessProbe::Status::granted; },
            .reportStoreFailure = [](const support::Error&) {}};
}

std::vector<std::string> names(const ScanViewModel::ItemRefs& items) {
    std::vector<std::string> shown;
    for (const auto* shownItem : items) {
        shown.push_back(shownItem->displayName);
    }
    return shown;
}

struct OrderCase {
    ItemSortOrder order;
    std::vector<std::string> expected;
};

class ResultOrderTest : public ::testing::TestWithParam<OrderCase> {};

// The engine's order is b, A, c; sizes 200, 100, 200 (a tie); dates c newest, b oldest.
TEST_P(ResultOrderTest, SortsTheListAndKeepsTheChoiceForTheNextStart) {
    testing::TemporaryDirectory folder;
    const auto store = folder / "defaults.json";
    auto main = std::make_shared<support::ManualExecutor>();
    auto engine =
        std::make_shared<CleaningEngine>(std::vector<std::shared_ptr<CleaningModule>>{}, main);
    {
        AppSettings settings(std::make_unique<FileDefaultsStore>(store), quietEnvironment());
        settings.setItemSortOrder(GetParam().order);
    }
    AppSettings reread(std::make_unique<FileDefaultsStore>(store), quietEnvironment());
    auto background = std::make_shared<support::ManualExecutor>();
    ScanViewModel scan(
        engine, reread, main, [] { return false; }, FullDiskAccessProbe::platformAccessScope(),
        background);
    const auto scanned = [] {
        return ScanResults{
            {CleaningModuleID::systemCaches,
             {item("b", 200, kDay), item("A", 100, kDay + 24h), item("c", 200, kDay + 48h)}}};
    };
    scan.applyResults(scanned());
    EXPECT_EQ(names(scan.visibleItems(CleaningModuleID::systemCaches)), GetParam().expected);
    scan.applyResults(scanned());
    background->runAll();
    main->runAll();
    EXPECT_EQ(names(scan.visibleItems(CleaningModuleID::systemCaches)), GetParam().expected)
        << "sorted ahead";
    // Sorted with the scan's results; in another order, which the settings no longer hold.
    for (const auto prepared : {GetParam().order, ItemSortOrder{ItemSortKey::name, true}}) {
        scan.applyPrepared(PreparedResults(scanned(), prepared));
        EXPECT_EQ(names(scan.visibleItems(CleaningModuleID::systemCaches)), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, ResultOrderTest,
                         ::testing::Values(OrderCase{{ItemSortKey::size, true}, {"b", "c", "A"}},
                                           OrderCase{{ItemSortKey::size, false}, {"A", "b", "c"}},
                                           OrderCase{{ItemSortKey::name, false}, {"A", "b", "c"}},
                                           OrderCase{{ItemSortKey::name, true}, {"c", "b", "A"}},
                                           OrderCase{{ItemSortKey::date, true}, {"c", "A", "b"}},
                                           OrderCase{{ItemSortKey::date, false}, {"b", "A", "c"}}));

// The sorted list is kept between calls: it must follow a new order, and a search must filter
// it without losing the order.
TEST(ResultOrderChangeTest, AListAlreadyShownFollowsANewOrderAndASearchKeepsIt) {
    testing::TemporaryDirectory folder;
    auto main = std::make_shared<support::ManualExecutor>();
    auto engine =
        std::make_shared<CleaningEngine>(std::vector<std::shared_ptr<CleaningModule>>{}, main);
    AppSettings settings(std::make_unique<FileDefaultsStore>(folder / "defaults.json"),
                         quietEnvironment());
    ScanViewModel scan(engine, settings, main, [] { return false; });
    scan.applyResults(
        {{CleaningModuleID::systemCaches,
          {item("b", 200, kDay), item("A", 100, kDay + 24h), item("c", 200, kDay + 48h)}}});
    const auto shown = [&] { return names(scan.visibleItems(CleaningModuleID::systemCaches)); };
    EXPECT_EQ(shown(), (std::vector<std::string>{"b", "c", "A"}));
    settings.setItemSortOrder({ItemSortKey::name, false});
    EXPECT_EQ(shown(), (std::vector<std::string>{"A", "b", "c"}));
    scan.setSearchQuery("CACHE/");
    EXPECT_EQ(shown(), (std::vector<std::string>{"A", "b", "c"}));
    scan.setSearchQuery("e/b");
    EXPECT_EQ(shown(), (std::vector<std::string>{"b"}));
}

TEST(ResultOrderDefaultTest, AFreshStoreSortsBySizeLargestFirst) {
    AppSettings settings(std::make_unique<InMemoryDefaultsStore>(), quietEnvironment());
    EXPECT_EQ(settings.itemSortOrder(), (ItemSortOrder{ItemSortKey::size, true}));
}

TEST(KeptResultsTest, KeepingAPathDropsItsItemsFromTheListAndTheSelection) {
    auto main = std::make_shared<support::ManualExecutor>();
    auto engine =
        std::make_shared<CleaningEngine>(std::vector<std::shared_ptr<CleaningModule>>{}, main);
    AppSettings settings(std::make_unique<InMemoryDefaultsStore>(), quietEnvironment());
    ScanViewModel scan(engine, settings, main, [] { return false; });
    const auto kept = item("keep", 10, kDay);
    scan.applyResults({{CleaningModuleID::systemCaches, {kept, item("drop", 20, kDay)}}});
    scan.selectAll();
    ASSERT_TRUE(settings.addKeptPath(kept.url.native()).ok());
    scan.leaveOutKept();
    EXPECT_EQ(names(scan.visibleItems(CleaningModuleID::systemCaches)),
              std::vector<std::string>{"drop"});
    EXPECT_EQ(scan.selectedBytes(), 20);
}

}  // namespace
}  // namespace quillo
