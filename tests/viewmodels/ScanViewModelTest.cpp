#include <gtest/gtest.h>

#include <algorithm>

#include "viewmodels/ScanViewModelFixture.h"

namespace quillo {
namespace {

using FullDiskAccessProbe::Status;
using testing::ScanViewModelTest;
using testing::ToolFailure;

TEST_F(ScanViewModelTest, StartsIdleAndEmpty) {
    auto& model = makeViewModel(
        {scripted(CleaningModuleID::tempFiles), scripted(CleaningModuleID::systemCaches)});
    EXPECT_EQ(model.phase(), Phase{Idle{}});
    EXPECT_EQ(model.subtitle(), "Bereit");
    EXPECT_TRUE(model.resultsByModule().empty());
    EXPECT_TRUE(model.cachedAllItems().empty());
    EXPECT_TRUE(model.itemsByID().empty());
    EXPECT_TRUE(model.bytesPerModule().empty());
    EXPECT_EQ(model.totalBytes(), 0);
    EXPECT_TRUE(model.selectedItemIDs().empty());
    EXPECT_EQ(model.searchQuery(), "");
    EXPECT_FALSE(model.currentScan().has_value());
}

TEST_F(ScanViewModelTest, ScanResultIsTakenOnTheMainThreadAndSelectsNothing) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto logs = scripted(CleaningModuleID::systemLogs);
    auto& model = makeViewModel({temp, logs});
    const auto first = item(CleaningModuleID::tempFiles, "a", 1'300'000);
    const auto second = item(CleaningModuleID::tempFiles, "b", 200'000);

    model.startScan();
    EXPECT_EQ(model.phase(), Phase{Scanning{}});
    EXPECT_EQ(model.subtitle(), "Scan läuft…");
    EXPECT_TRUE(model.currentScan().has_value());
    temp->finish(0, CleanableItems{first, second});
    logs->finish(0, CleanableItems{});
    background->runAll();
    // The engine has answered; nothing changes before the main thread takes the answer.
    EXPECT_EQ(model.phase(), Phase{Scanning{}});
    EXPECT_TRUE(model.resultsByModule().empty());

    main->runAll();
    EXPECT_EQ(model.phase(), Phase{Completed{}});
    EXPECT_EQ(model.resultsByModule(), (ScanResults{{CleaningModuleID::tempFiles, {first, second}},
                                                    {CleaningModuleID::systemLogs, {}}}));
    EXPECT_EQ(model.bytesPerModule(),
              (ScanViewModel::BytesPerModule{{CleaningModuleID::tempFiles, 1'500'000},
                                             {CleaningModuleID::systemLogs, 0}}));
    EXPECT_EQ(model.totalBytes(), 1'500'000);
    EXPECT_TRUE(model.selectedItemIDs().empty());
    EXPECT_FALSE(model.currentScan().has_value());
    EXPECT_EQ(model.subtitle(), "1,5 MB gefunden · 0 Byte ausgewählt");
    model.toggleSelection(second.id);
    EXPECT_EQ(model.subtitle(), "1,5 MB gefunden · 200 kB ausgewählt");
}

TEST_F(ScanViewModelTest, StartingClearsAllAtOnceAndStartingAgainCancelsTheRunningScan) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto& model = makeViewModel({temp});
    const auto old = item(CleaningModuleID::tempFiles, "old");
    model.applyResults({{CleaningModuleID::tempFiles, {old}}});
    model.toggleSelection(old.id);
    bool consistent = true;
    const auto subscription = model.observe([&](std::string_view field) {
        heardFields.emplace_back(field);
        consistent = consistent && model.cachedAllItems().empty() && model.selectedBytes() == 0 &&
                     model.selectedItemIDs().empty() && model.currentScan().has_value();
    });

    model.startScan();
    std::ranges::sort(heardFields);
    EXPECT_EQ(heardFields, (std::vector<std::string>{
                               "bytesPerModule", "cachedAllItems", "currentScan", "itemsByID",
                               "phase", "resultsByModule", "selectedItemIDs", "totalBytes"}));
    EXPECT_TRUE(consistent);
    const auto firstHandle = model.currentScan();
    model.startScan();
    EXPECT_TRUE(temp->isCancelled(0));
    EXPECT_FALSE(temp->isCancelled(1));
    EXPECT_NE(model.currentScan(), firstHandle);

    // The first scan ends with the cancellation error; it must not end the second one.
    temp->finish(0, CleanableItems{item(CleaningModuleID::tempFiles, "first")});
    settle();
    EXPECT_EQ(model.phase(), Phase{Scanning{}});
    EXPECT_TRUE(model.resultsByModule().empty());

    const auto fresh = item(CleaningModuleID::tempFiles, "second");
    temp->finish(1, CleanableItems{fresh});
    settle();
    EXPECT_EQ(model.phase(), Phase{Completed{}});
    EXPECT_EQ(model.resultsByModule(), (ScanResults{{CleaningModuleID::tempFiles, {fresh}}}));
}

TEST_F(ScanViewModelTest, ResultOfAReplacedScanStillQueuedIsDropped) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto& model = makeViewModel({temp});
    model.startScan();
    temp->finish(0, CleanableItems{item(CleaningModuleID::tempFiles, "first")});
    background->runAll();
    ASSERT_EQ(main->pendingCount(), 1U);  // the first scan's result, on its way

    model.startScan();
    main->runAll();
    EXPECT_EQ(model.phase(), Phase{Scanning{}});
    EXPECT_TRUE(model.resultsByModule().empty());

    const auto fresh = item(CleaningModuleID::tempFiles, "second");
    temp->finish(1, CleanableItems{fresh});
    settle();
    EXPECT_EQ(model.resultsByModule(), (ScanResults{{CleaningModuleID::tempFiles, {fresh}}}));
}

TEST_F(ScanViewModelTest, MockScansRestartedWithOtherSettingsApplyOnlyTheSecond) {
    auto& model = makeViewModel(
        {mock(CleaningModuleID::tempFiles, 3), mock(CleaningModuleID::systemLogs, 5)});
    model.startScan();
    background->runAll();
    ASSERT_EQ(sleeper->pendingCount(), 2U);

    settings.setModuleEnabled(CleaningModuleID::systemLogs, false);
    model.startScan();
    settle();  // the first scan's waits ended cancelled at once; its error arrives late
    EXPECT_EQ(model.phase(), Phase{Scanning{}});
    sleeper->elapseAll();
    settle();
    EXPECT_EQ(model.phase(), Phase{Completed{}});
    ASSERT_EQ(model.resultsByModule().size(), 1U);
    EXPECT_EQ(model.resultsByModule().at(CleaningModuleID::tempFiles).size(), 3U);
}

TEST_F(ScanViewModelTest, CancelledScanIsNeverShownAsAFailure) {
    auto& model = makeViewModel({mock(CleaningModuleID::tempFiles, 3)});
    model.startScan();
    background->runAll();
    std::vector<Phase> phases;
    auto subscription = model.observe([&](std::string_view field) {
        if (field == "phase") {
            phases.push_back(model.phase());
        }
    });

    model.cancelScan();
    EXPECT_EQ(model.phase(), Phase{Idle{}});
    EXPECT_FALSE(model.currentScan().has_value());
    sleeper->elapseAll();
    settle();
    EXPECT_EQ(phases, std::vector<Phase>{Idle{}});
    EXPECT_TRUE(model.resultsByModule().empty());
    EXPECT_EQ(model.subtitle(), "Bereit");
}

TEST_F(ScanViewModelTest, LateSuccessOfACancelledScanIsDropped) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto& model = makeViewModel({temp});
    model.startScan();
    temp->finish(0, CleanableItems{item(CleaningModuleID::tempFiles, "late")});
    background->runAll();

    model.cancelScan();
    main->runAll();
    EXPECT_EQ(model.phase(), Phase{Idle{}});
    EXPECT_TRUE(model.resultsByModule().empty());
    EXPECT_TRUE(model.cachedAllItems().empty());
}

TEST_F(ScanViewModelTest, CancelAfterACompletedScanKeepsItsResultsAndWhileIdleChangesNothing) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto& model = makeViewModel({temp});
    const auto found = item(CleaningModuleID::tempFiles, "found");
    model.startScan();
    temp->finish(0, CleanableItems{found});
    settle();
    model.toggleSelection(found.id);

    model.cancelScan();
    EXPECT_EQ(model.phase(), Phase{Idle{}});
    const auto subscription = listen();
    model.cancelScan();
    EXPECT_TRUE(heardFields.empty());
    ASSERT_EQ(model.cachedAllItems().size(), 1U);
    EXPECT_EQ(*model.cachedAllItems().front(), found);
    EXPECT_TRUE(model.isSelected(found.id));
}

TEST_F(ScanViewModelTest, FailingModuleFailsTheScanWithItsDescription) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto logs = scripted(CleaningModuleID::systemLogs);
    auto& model = makeViewModel({temp, logs});
    model.startScan();
    logs->finish(0, CleanableItems{item(CleaningModuleID::systemLogs, "log")});
    temp->finish(0, support::Error::make(ToolFailure{}));
    settle();

    EXPECT_EQ(model.phase(), Phase{Failed{"Werkzeug fehlgeschlagen"}});
    EXPECT_EQ(model.subtitle(), "Fehler: Werkzeug fehlgeschlagen");
    EXPECT_TRUE(model.resultsByModule().empty());
    EXPECT_EQ(model.totalBytes(), 0);

    // The failure stays until the next scan.
    model.startScan();
    EXPECT_EQ(model.phase(), Phase{Scanning{}});
}

TEST_F(ScanViewModelTest, CancellationErrorOfTheEngineEndsIdle) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto& model = makeViewModel({temp});
    model.startScan();
    temp->finish(0, support::Error::cancelled());
    settle();
    EXPECT_EQ(model.phase(), Phase{Idle{}});
    EXPECT_FALSE(model.currentScan().has_value());
}

TEST_F(ScanViewModelTest, PhasesAreEqualByCaseAndFailureText) {
    EXPECT_EQ(Phase{Failed{"a"}}, Phase{Failed{"a"}});
    EXPECT_NE(Phase{Failed{"a"}}, Phase{Failed{"b"}});
    EXPECT_NE(Phase{Failed{""}}, Phase{Idle{}});
    EXPECT_NE(Phase{Scanning{}}, Phase{Completed{}});
}

TEST_F(ScanViewModelTest, DestroyingTheViewModelCancelsItsScanAndDropsALateResult) {
    auto temp = scripted(CleaningModuleID::tempFiles);
    auto logs = scripted(CleaningModuleID::systemLogs);
    makeViewModel({temp, logs});
    viewModel->startScan();
    temp->finish(0, CleanableItems{});
    logs->finish(0, CleanableItems{});
    background->runAll();
    viewModel->startScan();

    viewModel.reset();
    EXPECT_TRUE(temp->isCancelled(1));
    temp->finish(1, CleanableItems{});
    logs->finish(1, CleanableItems{});
    settle();  // both answers reach a main thread without the view model
}

class ScanViewModelModuleSetTest : public ScanViewModelTest {
  protected:
    void SetUp() override {
        makeViewModel({caches, logs, temp, reports});
        settings.setFullDiskAccessStatus(Status::denied);
    }

    [[nodiscard]] std::vector<CleaningModuleID> scanned() const {
        std::vector<CleaningModuleID> ids;
        for (const auto& module : {caches, logs, temp, reports}) {
            if (module->scanCount() > 0) {
                ids.push_back(module->id());
            }
        }
        return ids;
    }

    [[nodiscard]] std::vector<CleaningModuleID> available() const {
        std::vector<CleaningModuleID> ids;
        for (const auto& descriptor : viewModel->descriptors()) {
            if (viewModel->isAvailable(descriptor)) {
                ids.push_back(descriptor.id);
            }
        }
        return ids;
    }

    // Flags: available in the sandbox, needs full disk access.
    std::shared_ptr<testing::ScriptedScanModule> caches =
        scripted(CleaningModuleID::systemCaches, false, true);
    std::shared_ptr<testing::ScriptedScanModule> logs =
        scripted(CleaningModuleID::systemLogs, true, false);
    std::shared_ptr<testing::ScriptedScanModule> temp =
        scripted(CleaningModuleID::tempFiles, false, false);
    std::shared_ptr<testing::ScriptedScanModule> reports =
        scripted(CleaningModuleID::diagnosticReports, true, true);
};

TEST_F(ScanViewModelModuleSetTest, OutsideTheSandboxFullDiskAccessDecides) {
    EXPECT_EQ(available(),
              (std::vector{CleaningModuleID::systemLogs, CleaningModuleID::tempFiles}));
    settings.setFullDiskAccessStatus(Status::granted);
    EXPECT_EQ(available().size(), 4U);
}

TEST_F(ScanViewModelModuleSetTest, PerRootFolderEveryModuleIsAvailableWhateverTheStatus) {
    accessScope = FullDiskAccessProbe::AccessScope::rootFolders;
    makeViewModel({caches, logs, temp, reports});
    settings.setFullDiskAccessStatus(Status::undetermined);
    EXPECT_EQ(available().size(), 4U);
    viewModel->startScan();
    EXPECT_EQ(scanned().size(), 4U);
}

TEST_F(ScanViewModelModuleSetTest, InTheSandboxOnlyModulesMadeForItAreAvailable) {
    settings.setFullDiskAccessStatus(Status::granted);
    sandboxed = true;
    EXPECT_EQ(available(),
              (std::vector{CleaningModuleID::systemLogs, CleaningModuleID::diagnosticReports}));
    // Asked afresh at every call.
    sandboxed = false;
    EXPECT_EQ(available().size(), 4U);
}

TEST_F(ScanViewModelModuleSetTest, ScanCoversTheEnabledAvailableModules) {
    settings.setModuleEnabled(CleaningModuleID::tempFiles, false);
    viewModel->startScan();
    EXPECT_EQ(scanned(), std::vector{CleaningModuleID::systemLogs});

    settings.setFullDiskAccessStatus(Status::granted);
    viewModel->startScan();
    EXPECT_EQ(scanned(), (std::vector{CleaningModuleID::systemCaches, CleaningModuleID::systemLogs,
                                      CleaningModuleID::diagnosticReports}));
}

TEST_F(ScanViewModelModuleSetTest, EnabledDescriptorsKeepTheEngineOrder) {
    settings.setModuleEnabled(CleaningModuleID::systemLogs, false);
    std::vector<CleaningModuleID> ids;
    for (const auto& descriptor : viewModel->enabledDescriptors()) {
        ids.push_back(descriptor.id);
    }
    EXPECT_EQ(ids, (std::vector{CleaningModuleID::systemCaches, CleaningModuleID::tempFiles,
                                CleaningModuleID::diagnosticReports}));
}

TEST_F(ScanViewModelModuleSetTest, AvailabilityCountsOnlyEnabledModules) {
    EXPECT_TRUE(viewModel->hasAvailableModule());
    settings.setDisabledModuleIDs({CleaningModuleID::systemLogs, CleaningModuleID::tempFiles});
    EXPECT_FALSE(viewModel->hasAvailableModule());
    settings.setFullDiskAccessStatus(Status::granted);
    EXPECT_TRUE(viewModel->hasAvailableModule());
}

TEST_F(ScanViewModelModuleSetTest, WithEveryModuleDisabledAScanAsksForNoModule) {
    settings.setDisabledModuleIDs({allCleaningModuleIDs.begin(), allCleaningModuleIDs.end()});
    EXPECT_TRUE(viewModel->enabledDescriptors().empty());

    viewModel->startScan();
    settle();
    EXPECT_TRUE(scanned().empty());
    EXPECT_EQ(viewModel->phase(), Phase{Completed{}});
    EXPECT_TRUE(viewModel->resultsByModule().empty());
}

}  // namespace
}  // namespace quillo
