#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "modules/EngineTestSupport.h"
#include "text/Translations.h"
#include "viewmodels/DeleteViewModel.h"

namespace quillo {

void PrintTo(const DeleteViewModel::Deleting& phase, std::ostream* out) {
    *out << "deleting(" << phase.currentDisplayName.value_or("<none>") << ", " << phase.completed
         << "/" << phase.total << ")";
}

void PrintTo(const DeleteViewModel::Failed& phase, std::ostream* out) {
    *out << "failed(" << phase.message << ")";
}

namespace {

using Phase = DeleteViewModel::Phase;
using Deleting = DeleteViewModel::Deleting;
using Summary = DeleteViewModel::Summary;
using Failed = DeleteViewModel::Failed;
using Idle = DeleteViewModel::Idle;
using Confirming = DeleteViewModel::Confirming;

const TimePoint kNow = std::chrono::sys_days{std::chrono::year{2026} / 3 / 14};

/// Plays one module's part of a deletion run into its stream and keeps the report the part ends
/// with.
class ScriptedRun {
  public:
    ScriptedRun(CleaningModuleID moduleID, CleanableItems items,
                support::EventSink<DeletionEvent> sink)
        : items_(std::move(items)), sink_(std::move(sink)), report_{moduleID, {}, {}, kNow, kNow} {}

    [[nodiscard]] const CleanableItems& items() const { return items_; }
    [[nodiscard]] bool isCancelled() const { return sink_.token().isCancelled(); }

    void announce(std::size_t totalCount) const {
        sink_.yield(DeletionStarted{report_.moduleID, totalCount});
    }
    void succeed(std::size_t index) {
        const auto& item = items_.at(index);
        sink_.yield(DeletionItemStarted{report_.moduleID, item});
        DeletedFileRecord record{item.id, item.sizeInBytes, "hash-" + item.displayName};
        report_.succeeded.push_back(record);
        sink_.yield(DeletionItemCompleted{report_.moduleID, std::move(record)});
    }
    void fail(std::size_t index) {
        const auto& item = items_.at(index);
        sink_.yield(DeletionItemStarted{report_.moduleID, item});
        FailedFileRecord record{item.id, "Zugriff verweigert"};
        report_.failed.push_back(record);
        sink_.yield(DeletionItemFailed{report_.moduleID, std::move(record)});
    }
    /// Yields `finished` and ends the stream; returns the report it carried.
    DeletionReport finish() const {
        sink_.yield(DeletionFinished{report_});
        sink_.finish();
        return report_;
    }
    void endWith(support::Error error) const { sink_.finish(std::move(error)); }

  private:
    CleanableItems items_;
    support::EventSink<DeletionEvent> sink_;
    DeletionReport report_;
};

/// A module whose deletion streams the test writes.
class ScriptedModule final : public CleaningModule {
  public:
    ScriptedModule(CleaningModuleID id, support::ExecutorRef context)
        : CleaningModule(testing::mockProperties(id), std::move(context)) {}

    void scan(support::CancellationToken, support::Completion<CleanableItems> done) override {
        context()->post([done = std::move(done)] { done(CleanableItems{}); });
    }

    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override {
        return support::makeEventStream<DeletionEvent>(
            [&](const support::EventSink<DeletionEvent>& sink) {
                runs.emplace_back(id(), std::move(items), sink);
            });
    }

    std::vector<ScriptedRun> runs;
};

class DeleteViewModelTest : public ::testing::Test {
  protected:
    // A run a test left open is cancelled, and the engine's context is given the turn it needs
    // to let go of the module streams, as it always gets in the application.
    void TearDown() override {
        viewModel.reset();
        settle();
        text::clearTranslations();
    }

    /// Runs the engine's and the main thread's queues until neither has work left.
    void settle() {
        while (background->runAll() + main->runAll() > 0) {
        }
    }

    static CleanableItem item(CleaningModuleID moduleID, const std::string& name,
                              std::int64_t size = 100,
                              std::vector<CleanableItemWarning> warnings = {}) {
        return CleanableItem{Uuid::random(), "/fake/" + name,     name, size, kNow,
                             moduleID,       std::move(warnings), true};
    }

    static CleanableItem irreversibleItem(CleaningModuleID moduleID, const std::string& name) {
        return item(moduleID, name, 100, {CleanableItemWarning::irreversible});
    }

    /// Confirms `items` (none irreversible) and lets the engine hand them to the modules.
    void startRun(CleanableItems items) {
        viewModel.prepareDeletion(std::move(items));
        viewModel.confirm();
        settle();
    }

    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> background =
        std::make_shared<support::ManualExecutor>();
    std::shared_ptr<ScriptedModule> temp =
        std::make_shared<ScriptedModule>(CleaningModuleID::tempFiles, background);
    std::shared_ptr<ScriptedModule> logs =
        std::make_shared<ScriptedModule>(CleaningModuleID::systemLogs, background);
    std::shared_ptr<CleaningEngine> engine = std::make_shared<CleaningEngine>(
        std::vector<std::shared_ptr<CleaningModule>>{temp, logs}, background);
    DeleteViewModel viewModel{engine, main};

    std::vector<std::string> fieldsHeard;
    std::vector<Phase> phasesSeen;
    support::ChangeNotifier::Subscription subscription =
        viewModel.observe([this](std::string_view field) {
            fieldsHeard.emplace_back(field);
            if (field == "phase") {
                phasesSeen.push_back(viewModel.phase());
            }
        });
};

TEST_F(DeleteViewModelTest, WithoutIrreversibleItemsNoPhraseIsNeeded) {
    viewModel.prepareDeletion(
        {item(CleaningModuleID::tempFiles, "a"),
         item(CleaningModuleID::systemLogs, "b", 100, {CleanableItemWarning::recentlyModified})});
    EXPECT_EQ(viewModel.phase(), Phase(Confirming{}));
    EXPECT_FALSE(viewModel.requiresTypedConfirmation());
    EXPECT_TRUE(viewModel.canConfirm());

    // With nothing pending there is nothing to confirm.
    viewModel.prepareDeletion({});
    EXPECT_FALSE(viewModel.canConfirm());
    viewModel.confirm();
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Confirming{}));
    EXPECT_FALSE(viewModel.hasDeleteTask());
    EXPECT_TRUE(temp->runs.empty());
    EXPECT_TRUE(logs->runs.empty());
}

TEST_F(DeleteViewModelTest, OneIrreversibleItemAmongManyNeedsThePhraseExactly) {
    viewModel.prepareDeletion({item(CleaningModuleID::tempFiles, "a"),
                               irreversibleItem(CleaningModuleID::systemLogs, "b"),
                               item(CleaningModuleID::tempFiles, "c")});
    EXPECT_TRUE(viewModel.requiresTypedConfirmation());
    EXPECT_FALSE(viewModel.canConfirm());
    for (const char* refused : {"LÖSCHEN ", " LÖSCHEN", "löschen", "LöSCHEN", "LÖSCHE"}) {
        viewModel.setTypedConfirmation(refused);
        EXPECT_FALSE(viewModel.canConfirm()) << refused;
    }
    viewModel.confirm();
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Confirming{}));
    EXPECT_TRUE(temp->runs.empty());

    viewModel.setTypedConfirmation("LÖSCHEN");
    EXPECT_TRUE(viewModel.canConfirm());
    // Pressed twice, it still starts only one run.
    viewModel.confirm();
    viewModel.confirm();
    settle();
    EXPECT_EQ(temp->runs.size(), 1U);
    EXPECT_EQ(logs->runs.size(), 1U);
}

TEST_F(DeleteViewModelTest, PhraseIsTheCataloguesTextOfTheMoment) {
    viewModel.prepareDeletion({irreversibleItem(CleaningModuleID::tempFiles, "a")});
    viewModel.setTypedConfirmation("DELETE");
    EXPECT_FALSE(viewModel.canConfirm());

    text::installTranslations({{"deletion.confirmation.phrase", "DELETE"}});
    EXPECT_EQ(DeleteViewModel::confirmationPhrase(), "DELETE");
    EXPECT_TRUE(viewModel.canConfirm());
}

TEST_F(DeleteViewModelTest, PrepareDeletionClearsTextTypedEarlierAndNotifiesOnceConsistent) {
    viewModel.prepareDeletion({irreversibleItem(CleaningModuleID::tempFiles, "a")});
    viewModel.setTypedConfirmation("LÖSCHEN");
    const CleanableItems next{irreversibleItem(CleaningModuleID::systemLogs, "b")};
    fieldsHeard.clear();
    auto consistent = viewModel.observe([&](std::string_view field) {
        EXPECT_EQ(viewModel.pendingItems(), next) << field;
        EXPECT_EQ(viewModel.typedConfirmation(), "") << field;
    });

    viewModel.prepareDeletion(next);
    EXPECT_FALSE(viewModel.canConfirm());
    EXPECT_THAT(fieldsHeard, ::testing::IsSupersetOf({"pendingItems", "typedConfirmation"}));
}

TEST_F(DeleteViewModelTest, SharesListEachModuleByItsIdentifierTextWithCountAndSize) {
    viewModel.prepareDeletion({item(CleaningModuleID::tempFiles, "a", 1'000),
                               item(CleaningModuleID::fontCache, "b", 20),
                               item(CleaningModuleID::applicationResidual, "c", 300),
                               item(CleaningModuleID::tempFiles, "d", 4'000'000'000),
                               item(CleaningModuleID::diagnosticReports, "e", 5)});
    const std::vector<DeleteViewModel::ModuleShare> expected{
        {CleaningModuleID::applicationResidual, 1, 300},
        {CleaningModuleID::diagnosticReports, 1, 5},
        {CleaningModuleID::fontCache, 1, 20},
        {CleaningModuleID::tempFiles, 2, 4'000'001'000},
    };
    EXPECT_EQ(viewModel.pendingShares(), expected);
    EXPECT_EQ(viewModel.pendingSizeInBytes(), 4'000'001'325);
}

TEST_F(DeleteViewModelTest, ThreeItemRunWithOneFailureCountsEveryItemAndEndsInTheSummary) {
    const CleanableItems items{item(CleaningModuleID::tempFiles, "a"),
                               item(CleaningModuleID::systemLogs, "c"),
                               item(CleaningModuleID::tempFiles, "b")};
    startRun(items);
    EXPECT_TRUE(viewModel.hasDeleteTask());
    ASSERT_EQ(temp->runs.size(), 1U);
    ASSERT_EQ(logs->runs.size(), 1U);
    auto& tempRun = temp->runs.front();
    auto& logsRun = logs->runs.front();

    // A module announcing another count than its share leaves the run's total alone.
    tempRun.announce(5);
    logsRun.announce(1);
    tempRun.succeed(0);
    logsRun.fail(0);
    const auto logsReport = logsRun.finish();
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Deleting{"c", 2, 3}));

    tempRun.succeed(1);
    const auto tempReport = tempRun.finish();
    settle();

    // Progress only ever grows, always out of the run's own total, and names what it deletes.
    std::size_t completed = 0;
    std::set<std::string> named;
    for (const auto& phase : phasesSeen) {
        if (const auto* deleting = std::get_if<Deleting>(&phase)) {
            EXPECT_EQ(deleting->total, 3U);
            EXPECT_GE(deleting->completed, completed);
            completed = deleting->completed;
            if (deleting->currentDisplayName) {
                named.insert(*deleting->currentDisplayName);
            }
        }
    }
    EXPECT_EQ(completed, 3U);
    EXPECT_EQ(named, (std::set<std::string>{"a", "b", "c"}));
    EXPECT_EQ(viewModel.phase(), Phase(Summary{{logsReport, tempReport}}));
    EXPECT_FALSE(viewModel.hasDeleteTask());
    EXPECT_EQ(viewModel.pendingItems(), items);
    EXPECT_EQ(DeleteViewModel::deletedItemIDs({logsReport, tempReport}),
              (std::vector<Uuid>{items[0].id, items[2].id}));
}

TEST_F(DeleteViewModelTest, ResetDuringDeletionCancelsTheRunAndALateFinishedBringsNoSummary) {
    startRun({item(CleaningModuleID::tempFiles, "a"), item(CleaningModuleID::tempFiles, "b")});
    auto& run = temp->runs.front();
    run.succeed(0);
    settle();
    ASSERT_EQ(viewModel.phase(), Phase(Deleting{"a", 1, 2}));

    viewModel.reset();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
    EXPECT_TRUE(viewModel.pendingItems().empty());
    EXPECT_FALSE(viewModel.hasDeleteTask());
    settle();
    EXPECT_TRUE(run.isCancelled());

    fieldsHeard.clear();
    run.succeed(1);
    run.finish();
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
    EXPECT_TRUE(fieldsHeard.empty());
}

TEST_F(DeleteViewModelTest, ResetDropsAFinishedThatIsAlreadyQueuedOnTheMainThread) {
    startRun({item(CleaningModuleID::tempFiles, "a")});
    auto& run = temp->runs.front();
    run.succeed(0);
    run.finish();
    background->runAll();
    ASSERT_GT(main->pendingCount(), 0U);

    viewModel.reset();
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
}

TEST_F(DeleteViewModelTest, StreamErrorShowsItsTextOnceTheOtherModulesHaveEnded) {
    const CleanableItems items{item(CleaningModuleID::tempFiles, "a"),
                               item(CleaningModuleID::systemLogs, "b")};
    startRun(items);
    logs->runs.front().endWith(support::Error::make(testing::ToolFailure{}));
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Deleting{std::nullopt, 0, 2}));

    auto& tempRun = temp->runs.front();
    tempRun.succeed(0);
    tempRun.finish();
    settle();
    EXPECT_THAT(phasesSeen, ::testing::Contains(Phase(Deleting{"a", 1, 2})));
    EXPECT_EQ(viewModel.phase(), Phase(Failed{"Werkzeug fehlgeschlagen"}));
    EXPECT_EQ(viewModel.pendingItems(), items);
    EXPECT_FALSE(viewModel.hasDeleteTask());

    // A failure is left only through reset; confirming again needs a new confirmation.
    viewModel.confirm();
    settle();
    EXPECT_EQ(temp->runs.size(), 1U);
    viewModel.reset();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
}

TEST_F(DeleteViewModelTest, StopsBetweenItemsAndSumsUpWhatWasDone) {
    const CleanableItems items{item(CleaningModuleID::tempFiles, "a"),
                               item(CleaningModuleID::tempFiles, "b")};
    startRun(items);
    auto& run = temp->runs.front();
    run.succeed(0);
    settle();
    viewModel.stopDeletion();
    settle();
    ASSERT_TRUE(std::holds_alternative<Deleting>(viewModel.phase()));
    EXPECT_TRUE(std::get<Deleting>(viewModel.phase()).stopping);
    ASSERT_TRUE(run.isCancelled());
    // Cut short as the deletion service is between items: by the cancellation, without a report.
    run.endWith(support::Error::cancelled());
    settle();

    const auto* summary = std::get_if<Summary>(&viewModel.phase());
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->stopped);
    EXPECT_EQ(DeleteViewModel::deletedItemIDs(summary->reports), std::vector<Uuid>{items[0].id});
}

TEST_F(DeleteViewModelTest, StreamEndingWithCancellationReturnsToIdleWithoutAnError) {
    startRun({item(CleaningModuleID::tempFiles, "a")});
    temp->runs.front().endWith(support::Error::cancelled());
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
    EXPECT_FALSE(viewModel.hasDeleteTask());
}

TEST_F(DeleteViewModelTest, ItemsOfNoKnownModuleEndInAnEmptySummary) {
    startRun({item(CleaningModuleID::fontCache, "a")});
    EXPECT_EQ(viewModel.phase(), Phase(Summary{}));
}

TEST_F(DeleteViewModelTest, RunInterruptedByANewConfirmationStillGathersEveryReport) {
    startRun({item(CleaningModuleID::tempFiles, "a"), item(CleaningModuleID::systemLogs, "b")});
    const auto logsReport = logs->runs.front().finish();
    settle();
    viewModel.prepareDeletion({item(CleaningModuleID::tempFiles, "c")});

    auto& tempRun = temp->runs.front();
    tempRun.succeed(0);
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Confirming{}));

    const auto tempReport = tempRun.finish();
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Summary{{logsReport, tempReport}}));
}

TEST_F(DeleteViewModelTest, ConfirmingAgainStopsFollowingAnInterruptedRun) {
    startRun({item(CleaningModuleID::tempFiles, "a")});
    viewModel.prepareDeletion({item(CleaningModuleID::systemLogs, "b")});
    viewModel.confirm();
    settle();
    EXPECT_TRUE(temp->runs.front().isCancelled());

    temp->runs.front().finish();
    logs->runs.front().succeed(0);
    settle();
    EXPECT_EQ(viewModel.phase(), Phase(Deleting{"b", 1, 1}));
}

TEST_F(DeleteViewModelTest, ViewModelDestroyedMidRunCancelsItAndHearsNothingMore) {
    auto doomed = std::make_unique<DeleteViewModel>(engine, main);
    doomed->prepareDeletion({item(CleaningModuleID::tempFiles, "a")});
    doomed->confirm();
    settle();
    auto& run = temp->runs.front();
    run.succeed(0);
    background->runAll();
    ASSERT_GT(main->pendingCount(), 0U);

    doomed.reset();
    run.finish();
    settle();
    EXPECT_TRUE(run.isCancelled());
}

}  // namespace
}  // namespace quillo
