#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "modules/DefaultModuleSet.h"
#include "support/ManualExecutor.h"
#include "support/TemporaryDirectory.h"
#include "system/AppSettings.h"

// The default module set over a fake Linux system in a temporary folder: the settings live on
// `main`, everything else runs on `work`; the test drives both.
namespace quillo::testing {

class FakeLinuxSystem {
  public:
    /// The fake system and home lie in `base` when given (a tree made before), else in `folder`.
    explicit FakeLinuxSystem(ReceiptStore::Persistence receipts = ReceiptStore::InMemory{},
                             const std::optional<std::filesystem::path>& base = std::nullopt);
    FakeLinuxSystem(const FakeLinuxSystem&) = delete;
    FakeLinuxSystem& operator=(const FakeLinuxSystem&) = delete;

    /// Runs both executors until neither has work.
    void runBoth();

    TemporaryDirectory folder;
    std::filesystem::path system;
    std::filesystem::path home;
    std::shared_ptr<support::ManualExecutor> main = std::make_shared<support::ManualExecutor>();
    std::shared_ptr<support::ManualExecutor> work = std::make_shared<support::ManualExecutor>();
    AppSettings settings;
    std::shared_ptr<CleaningEngine> engine;

  private:
    DefaultModuleServices services(ReceiptStore::Persistence receipts);
};

/// The default modules' services over `locations`, all run on `work`, with answers that reach
/// nothing of this machine: no running application, no hibernation, nothing installed, no
/// snapshots, no open files.
DefaultModuleServices fakeModuleServices(const support::ExecutorRef& work,
                                         ModuleLocations locations,
                                         ReceiptStore::Persistence receipts);

}  // namespace quillo::testing
