#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "modules/EngineTestSupport.h"
#include "system/AppSettings.h"
#include "viewmodels/ScanViewModel.h"

namespace quillo {

inline void PrintTo(const ScanViewModel::Failed& phase, std::ostream* out) {
    *out << "failed(" << phase.message << ")";
}
inline void PrintTo(ScanViewModel::Idle, std::ostream* out) {
    *out << "idle";
}
inline void PrintTo(ScanViewModel::Scanning, std::ostream* out) {
    *out << "scanning";
}
inline void PrintTo(ScanViewModel::Completed, std::ostream* out) {
    *out << "completed";
}

namespace testing {

const TimePoint kScanTime = std::chrono::sys_days{std::chrono::year{2026} / 5 / 4};

/// A module whose every scan ends when the test says, with the items or the error it is handed.
class ScriptedScanModule final : public CleaningModule {
  public:
    ScriptedScanModule(CleaningModuleDescriptor properties, support::ExecutorRef context)
        : CleaningModule(std::move(properties), std::move(context)) {}

    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override {
        requests_.push_back({std::move(token), std::move(done)});
    }

    support::EventStream<DeletionEvent> deleteItems(CleanableItems /*items*/) override {
        return support::makeEventStream<DeletionEvent>(
            [](const support::EventSink<DeletionEvent>& sink) { sink.finish(); });
    }

    [[nodiscard]] std::size_t scanCount() const { return requests_.size(); }
    [[nodiscard]] bool isCancelled(std::size_t request) const {
        return requests_.at(request).token.isCancelled();
    }

    /// Ends scan number `request` (from 0) on the module's context.
    void finish(std::size_t request, support::Result<CleanableItems> outcome) {
        context()->post(
            [done = requests_.at(request).done, outcome = std::move(outcome)] { done(outcome); });
    }

  private:
    struct Request {
        support::CancellationToken token;
        support::Completion<CleanableItems> done;
    };
    std::vector<Request> requests_;
};

/// The main thread, the engine's and the modules' context and the mock waits, all driven by the
/// test; settings in memory; the sandbox answer in a field.
class ScanViewModelTest : public ::testing::Test {
  protected:
    using Phase = ScanViewModel::Phase;
    using Failed = ScanViewModel::Failed;
    using Idle = ScanViewModel::Idle;
    using Scanning = ScanViewModel::Scanning;
    using Completed = ScanViewModel::Completed;

    // A scan a test left running is cancelled and the queues are given the turns they need to
    // let go of it.
    void TearDown() override {
        viewModel.reset();
        settle();
    }

    /// Runs the background and main queues until neither has work left.
    void settle() {
        while (background->runAll() + main->runAll() > 0) {
        }
    }

    ScanViewModel& makeViewModel(std::vector<std::shared_ptr<CleaningModule>> modules = {}) {
        engine = std::make_shared<const CleaningEngine>(std::move(modules), background);
        viewModel = std::make_unique<ScanViewModel>(
            engine, settings, main, [this] { return sandboxed; }, accessScope, background);
        return *viewModel;
    }

    std::shared_ptr<ScriptedScanModule> scripted(CleaningModuleID id,
                                                 bool availableInSandbox = true,
                                                 bool requiresFullDiskAccess = false) {
        auto properties = mockProperties(id);
        properties.isAvailableInSandbox = availableInSandbox;
        properties.requiresFullDiskAccess = requiresFullDiskAccess;
        return std::make_shared<ScriptedScanModule>(std::move(properties), background);
    }

    std::shared_ptr<MockCleaningModule> mock(CleaningModuleID id, std::int64_t count) {
        return std::make_shared<MockCleaningModule>(
            mockProperties(id), count, ByteRange{1, 1000},
            MockCleaningModule::Environment{background, sleeper, [] { return kScanTime; }});
    }

    static CleanableItem item(CleaningModuleID moduleID, const std::string& name,
                              std::int64_t size = 100,
                              std::filesystem::path folder = "/fake/Library/Caches") {
        return CleanableItem{.id = Uuid::random(),
                             .url = folder / name,
                             .displayName = name,
                             .sizeInBytes = size,
                             .lastModified = kScanTime,
                             .moduleID = moduleID,
                             .warnings = {},
                             .isSafeToDeleteByDefault = true};
    }

    /// The fields observers heard of, in order.
    std::vector<std::string> heardFields;
    support::ChangeNotifier::Subscription listen() {
        return viewModel->observe(
            [this](std::string_view field) { heardFields.emplace_back(field); });
    }

    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> background =
        std::make_shared<support::ManualExecutor>();
    std::shared_ptr<ManualSleeper> sleeper = std::make_shared<ManualSleeper>();
    bool sandboxed = false;
    FullDiskAccessProbe::AccessScope accessScope = FullDiskAccessProbe::AccessScope::modules;
    AppSettings settings{std::make_unique<InMemoryDefaultsStore>(),
                         SettingsEnvironment{.checkFullDiskAccess =
                                                 [] { return FullDiskAccessProbe::Status::denied; },
                                             .reportStoreFailure = [](const support::Error&) {}}};
    std::shared_ptr<const CleaningEngine> engine;
    std::unique_ptr<ScanViewModel> viewModel;
};

}  // namespace testing
}  // namespace quillo
