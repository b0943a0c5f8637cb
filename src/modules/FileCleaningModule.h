#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ScanDepth.h"
#include "model/TimePoint.h"
#include "modules/CleaningModule.h"
#include "modules/FilesystemEntry.h"
#include "support/Provider.h"

namespace quillo {

class SecureDeletionService;

/// Answers with the scan depth the settings ask for, on any executor.
using DepthProvider = support::Provider<ScanDepth>;

/// Where a module runs and what it reads the time from.
struct ModuleEnvironment {
    /// The module's own serialised context.
    support::ExecutorRef context{};
    /// Where folders are sized in parallel, off the module's context.
    support::ExecutorRef pool{};
    std::function<TimePoint()> now = [] { return std::chrono::system_clock::now(); };
};

/// A module whose items are files and folders that the deletion service removes.
class FileCleaningModule : public CleaningModule {
  public:
    /// The deletion service's stream for `items` and this module.
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override;

  protected:
    FileCleaningModule(CleaningModuleDescriptor properties,
                       std::shared_ptr<SecureDeletionService> deletionService,
                       ModuleEnvironment environment);

    [[nodiscard]] const std::shared_ptr<SecureDeletionService>& deletionService() const {
        return deletionService_;
    }
    [[nodiscard]] const ModuleEnvironment& environment() const { return environment_; }

    /// Asks `depth` and then, back on the module's context, collects the items at that depth;
    /// a cancelled token fails the scan before each step.
    void scanAtDepth(const DepthProvider& depth, support::CancellationToken token,
                     support::Completion<CleanableItems> done,
                     std::function<support::Result<CleanableItems>(ScanDepth)> collect);

  private:
    std::shared_ptr<SecureDeletionService> deletionService_;
    ModuleEnvironment environment_;
};

/// The item a module offers for `entry`: a fresh id, the entry's location, size and time. An
/// entry this process cannot remove also warns that it needs elevated rights and is never safe
/// by default.
CleanableItem offeredItem(const FilesystemEntry& entry, CleaningModuleID moduleID,
                          std::string displayName, std::vector<CleanableItemWarning> warnings,
                          bool isSafeToDeleteByDefault);

}  // namespace quillo
