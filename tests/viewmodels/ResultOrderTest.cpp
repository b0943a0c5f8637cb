#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/EngineTestSupport.h"
#include "support/TemporaryDirectory.h"
#include "system/FileDefaultsStore.h"
#include "viewmodels/DeleteViewModel.h"
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
    ScanViewModel scan(engine, reread, main, [] { return false; });
    scan.applyResults(
        {{CleaningModuleID::systemCaches,
          {item("b", 200, kDay), item("A", 100, kDay + 24h), item("c", 200, kDay + 48h)}}});
    EXPECT_EQ(names(scan.visibleItems(CleaningModuleID::systemCaches)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Orders, ResultOrderTest,
                         ::testing::Values(OrderCase{{ItemSortKey::size, true}, {"b", "c", "A"}},
                                           OrderCase{{ItemSortKey::size, false}, {"A", "b", "c"}},
                                           OrderCase{{ItemSortKey::name, false}, {"A", "b", "c"}},
                                           OrderCase{{ItemSortKey::name, true}, {"c", "b", "A"}},
                                           OrderCase{{ItemSortKey::date, true}, {"c", "A", "b"}},
                                           OrderCase{{ItemSortKey::date, false}, {"b", "A", "c"}}));

TEST(ResultOrderDefaultTest, AFreshStoreSortsBySizeLargestFirst) {
    testing::TemporaryDirectory folder;
    AppSettings settings(std::make_unique<InMemoryDefaultsStore>(), quietEnvironment());
    EXPECT_EQ(settings.itemSortOrder(), (ItemSortOrder{ItemSortKey::size, true}));
}

TEST(KeptResultsTest, KeepingAPathDropsItsItemsFromTheListAndTheSelection) {
    testing::TemporaryDirectory folder;
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

/// A module whose deletion the test plays item by item; it stops when asked, as the deletion
/// service does between items.
class SteppedModule final : public CleaningModule {
  public:
    explicit SteppedModule(support::ExecutorRef context)
        : CleaningModule(testing::mockProperties(CleaningModuleID::systemCaches),
                         std::move(context)) {}

    void scan(support::CancellationToken, support::Completion<CleanableItems> done) override {
        done(CleanableItems{});
    }
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override {
        return support::makeEventStream<DeletionEvent>(
            [&](const support::EventSink<DeletionEvent>& sink) {
                sink_ = sink;
                items_ = std::move(items);
            });
    }
    /// Deletes the next item, or ends the run with the cancellation when asked to stop.
    void step() {
        if (sink_->token().isCancelled()) {
            sink_->finish(support::Error::cancelled());
            return;
        }
        const auto& next = items_.at(done_++);
        sink_->yield(DeletionItemStarted{id(), next});
        sink_->yield(
            DeletionItemCompleted{id(), DeletedFileRecord{next.id, next.sizeInBytes, "hash"}});
    }

  private:
    std::optional<support::EventSink<DeletionEvent>> sink_;
    CleanableItems items_;
    std::size_t done_ = 0;
};

TEST(StoppedDeletionTest, StopsBetweenItemsAndSumsUpWhatWasDone) {
    auto main = std::make_shared<support::ManualExecutor>();
    auto module = std::make_shared<SteppedModule>(main);
    auto engine = std::make_shared<CleaningEngine>(
        std::vector<std::shared_ptr<CleaningModule>>{module}, main);
    DeleteViewModel deletion(engine, main);
    const CleanableItems items{item("a", 10, kDay), item("b", 20, kDay), item("c", 30, kDay)};
    deletion.prepareDeletion(items);
    deletion.confirm();
    main->runAll();
    module->step();
    main->runAll();
    deletion.stopDeletion();
    main->runAll();
    EXPECT_TRUE(std::get<DeleteViewModel::Deleting>(deletion.phase()).stopping);
    module->step();
    main->runAll();

    const auto* summary = std::get_if<DeleteViewModel::Summary>(&deletion.phase());
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->stopped);
    EXPECT_EQ(DeleteViewModel::deletedItemIDs(summary->reports), std::vector<Uuid>{items[0].id});
}

}  // namespace
}  // namespace quillo
