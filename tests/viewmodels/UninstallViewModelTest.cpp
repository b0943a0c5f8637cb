#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TreeBuilders.h"
#include "text/Text.h"
#include "uninstall/UninstallHarness.h"
#include "viewmodels/UninstallViewModel.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;
using Phase = UninstallViewModel::Phase;
using Preparing = UninstallViewModel::Preparing;
using Ready = UninstallViewModel::Ready;
using Uninstalling = UninstallViewModel::Uninstalling;
using Summary = UninstallViewModel::Summary;
using Failed = UninstallViewModel::Failed;
using Idle = UninstallViewModel::Idle;
using ItemIDs = UninstallViewModel::ItemIDs;

class UninstallViewModelTest : public ::testing::Test {
  protected:
    UninstallViewModelTest() {
        notes = harness.makeBundle("Notes.app", {{"CFBundleIdentifier", "com.example.Notes"}});
        testing::makeFile(harness.library() / "Caches" / "com.example.Notes" / "db", 5000);
        mail = harness.makeBundle("Mail.app", {{"CFBundleIdentifier", "com.example.Mail"}});
        subscription = viewModel.observe([this](std::string_view field) {
            heard.emplace_back(field);
            if (field == "phase") {
                phases.push_back(viewModel.phase());
            }
        });
    }

    /// Prepares `bundle` and runs the build to its end.
    const UninstallPlan& ready(const fs::path& bundle) {
        viewModel.prepare(bundle);
        harness.drain();
        const auto* shown = std::get_if<Ready>(&viewModel.phase());
        EXPECT_TRUE(shown);
        return shown->plan;
    }

    [[nodiscard]] const UninstallPlan& shownPlan() const {
        return std::get<Ready>(viewModel.phase()).plan;
    }

    testing::UninstallHarness harness;
    fs::path notes;
    fs::path mail;
    UninstallViewModel viewModel{harness.service, harness.main};
    std::vector<std::string> heard;
    std::vector<Phase> phases;
    support::ChangeNotifier::Subscription subscription;
};

TEST_F(UninstallViewModelTest, APlanArrivesWithEveryItemSelected) {
    viewModel.prepare(notes);
    EXPECT_EQ(viewModel.phase(), Phase(Preparing{notes}));
    EXPECT_TRUE(viewModel.currentTask());
    EXPECT_FALSE(viewModel.canUninstall());

    harness.drain();

    const auto& plan = shownPlan();
    ASSERT_EQ(plan.items.size(), 2U);
    EXPECT_EQ(viewModel.selectedItemIDs(), (ItemIDs{plan.items[0].id, plan.items[1].id}));
    EXPECT_FALSE(viewModel.currentTask());
    EXPECT_TRUE(viewModel.canUninstall());
    EXPECT_EQ(viewModel.selectedBytes(), plan.items[0].sizeInBytes + plan.items[1].sizeInBytes);
}

TEST_F(UninstallViewModelTest, SelectNoneDisablesTheUninstallAndSelectAllRestoresIt) {
    const auto& plan = ready(notes);
    viewModel.selectNone();
    EXPECT_FALSE(viewModel.canUninstall());
    EXPECT_EQ(viewModel.selectedBytes(), 0);
    viewModel.toggleSelection(plan.items[1].id);
    EXPECT_EQ(viewModel.selectedBytes(), plan.items[1].sizeInBytes);
    viewModel.selectAll();
    EXPECT_EQ(viewModel.selectedItemIDs().size(), 2U);
    viewModel.toggleSelection(plan.items[1].id);
    EXPECT_EQ(viewModel.selectedItemIDs(), ItemIDs{plan.items[0].id});
    // An identifier of no item of the plan is held but counts for nothing.
    viewModel.toggleSelection(Uuid::random());
    EXPECT_EQ(viewModel.selectedItemIDs().size(), 2U);
    EXPECT_EQ(viewModel.selectedBytes(), plan.items[0].sizeInBytes);
}

TEST_F(UninstallViewModelTest, SelectAllWhilePreparingOrInTheSummaryChangesNothing) {
    const Uuid stray = Uuid::random();
    viewModel.prepare(notes);
    viewModel.toggleSelection(stray);
    viewModel.selectAll();
    EXPECT_EQ(viewModel.selectedItemIDs(), ItemIDs{stray});
    EXPECT_EQ(viewModel.selectedBytes(), 0) << "no plan shown";

    harness.drain();
    const Uuid first = shownPlan().items[0].id;
    viewModel.selectNone();
    viewModel.toggleSelection(first);
    viewModel.uninstall();
    harness.drain();
    harness.sleeper->elapseAll();
    harness.drain();
    ASSERT_TRUE(std::holds_alternative<Summary>(viewModel.phase()));
    viewModel.selectAll();
    EXPECT_EQ(viewModel.selectedItemIDs(), ItemIDs{first});
}

TEST_F(UninstallViewModelTest, AFileThatIsNoBundleFailsWithTheCatalogueText) {
    testing::makeFile(harness.folder / "readme.txt", 10);
    viewModel.prepare(harness.folder / "readme.txt");
    harness.drain();
    EXPECT_EQ(viewModel.phase(), Phase(Failed{text::text("uninstall.invalidApp")}));
    EXPECT_FALSE(viewModel.currentTask());
}

TEST_F(UninstallViewModelTest, ChoosingAnotherAppDropsTheFirstBuildsLateAnswer) {
    viewModel.prepare(notes);
    harness.context->runAll();  // the first plan is built; its answer waits on the main thread
    viewModel.prepare(mail);
    harness.drain();

    EXPECT_EQ(shownPlan().appURL, mail);
    for (const auto& phase : phases) {
        const auto* shown = std::get_if<Ready>(&phase);
        EXPECT_TRUE(shown == nullptr || shown->plan.appURL == mail);
    }
}

TEST_F(UninstallViewModelTest, AnUninstallShowsNoneOfItsTotalUntilTheSummary) {
    const auto& plan = ready(notes);
    const std::vector<Uuid> ids{plan.items[0].id, plan.items[1].id};
    viewModel.uninstall();
    EXPECT_EQ(viewModel.phase(), Phase(Uninstalling{0, 2}));
    EXPECT_TRUE(viewModel.currentTask());

    harness.drain();
    harness.sleeper->elapseAll();
    harness.drain();

    const auto* summary = std::get_if<Summary>(&viewModel.phase());
    ASSERT_TRUE(summary);
    ASSERT_EQ(summary->report.succeeded.size(), 2U);
    EXPECT_EQ(summary->report.succeeded[0].id, ids[0]);
    EXPECT_EQ(harness.quitRequests, std::vector<std::string>{"com.example.Notes"});
    EXPECT_FALSE(viewModel.currentTask());
}

TEST_F(UninstallViewModelTest, UninstallWithoutSelectionOrPlanDoesNothing) {
    viewModel.uninstall();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
    ready(notes);
    viewModel.selectNone();
    viewModel.uninstall();
    EXPECT_TRUE(std::holds_alternative<Ready>(viewModel.phase()));
    harness.drain();
    EXPECT_TRUE(harness.quitRequests.empty());
}

TEST_F(UninstallViewModelTest, ResetDuringTheRemovalReturnsToIdleAtOnceAndDropsTheReport) {
    ready(notes);
    viewModel.uninstall();
    harness.drain();  // quit asked, the pause is running

    viewModel.reset();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
    EXPECT_TRUE(viewModel.selectedItemIDs().empty());
    EXPECT_FALSE(viewModel.currentTask());

    harness.sleeper->elapseAll();
    harness.drain();
    EXPECT_EQ(viewModel.phase(), Phase(Idle{}));
    EXPECT_TRUE(harness.trashed.empty()) << "the cancelled run stops before its first item";
}

TEST_F(UninstallViewModelTest, ACommandTellsEachChangedFieldOnceAndAnEqualValueNobody) {
    viewModel.prepare(notes);
    EXPECT_THAT(heard, ::testing::UnorderedElementsAre("phase", "currentTask"));
    harness.drain();
    heard.clear();
    viewModel.selectNone();
    viewModel.selectNone();
    EXPECT_EQ(heard, std::vector<std::string>{"selectedItemIDs"});
}

TEST(UninstallViewModelLifetimeTest, AnAnswerArrivingAfterTheViewModelIsGoneIsDropped) {
    testing::UninstallHarness harness;
    const auto bundle = harness.makeBundle("Notes.app", {{"CFBundleIdentifier", "com.example"}});
    auto viewModel = std::make_unique<UninstallViewModel>(harness.service, harness.main);
    viewModel->prepare(bundle);
    harness.context->runAll();
    viewModel.reset();
    EXPECT_EQ(harness.main->runAll(), 1U);
}

}  // namespace
}  // namespace quillo
