#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "model/KeepList.h"
#include "modules/CleaningModule.h"
#include "support/Provider.h"

namespace quillo {

using ScanResults = std::map<CleaningModuleID, CleanableItems>;

/// Where the items go that only an administrator may remove, and how a scan takes in the
/// system folders: the administrator helper, in the application.
struct ElevatedRoute {
    /// Whether a scan takes in the system folders; asked afresh for each scan.
    support::Provider<bool> includeSystemFolders;
    /// The system folders' items of these modules; a failure leaves them out of the scan.
    std::function<void(std::set<CleaningModuleID>, support::Completion<ScanResults>)> scan;
    /// Deletes items that carry `requiresElevatedPrivileges`, of any modules.
    std::function<support::EventStream<DeletionEvent>(CleanableItems)> deleteItems;
};

/// Holds the modules, runs scans over a chosen set of them and hands mixed
/// lists of items to the modules that own them. It keeps no state between
/// calls: scans and deletion runs are independent and may overlap.
class CleaningEngine final {
  public:
    /// `context` serialises the engine's own bookkeeping; module ids must be
    /// unique. Without an elevated route every item goes to its module. `keptPaths` is asked
    /// afresh for every scan; no item it touches is returned.
    CleaningEngine(std::vector<std::shared_ptr<CleaningModule>> modules,
                   support::ExecutorRef context, std::optional<ElevatedRoute> elevated = {},
                   support::Provider<KeepList> keptPaths = {});

    [[nodiscard]] const std::vector<std::shared_ptr<CleaningModule>>& modules() const {
        return modules_;
    }
    [[nodiscard]] const std::vector<CleaningModuleDescriptor>& descriptors() const {
        return descriptors_;
    }

    /// Scans the modules in `moduleIDs` (all of them without a set) in parallel.
    /// `done` runs on the engine's context with one entry per selected module, or
    /// with the first module error, or with the cancellation error. When the route
    /// takes in the system folders, its items are added to the modules' where no
    /// module item has their path.
    void scan(std::optional<std::set<CleaningModuleID>> moduleIDs,
              const support::CancellationToken& token, support::Completion<ScanResults> done) const;

    /// Deletes items of any modules: the modules' event streams merged into one,
    /// which ends with the first module error after all other streams have ended.
    /// Items of modules the engine does not have are ignored. Items that need
    /// elevation go to the route, all in one stream; a module served by both still
    /// yields one started … finished sequence.
    [[nodiscard]] support::EventStream<DeletionEvent> deleteItems(CleanableItems items) const;

  private:
    std::vector<std::shared_ptr<CleaningModule>> modules_;
    std::vector<CleaningModuleDescriptor> descriptors_;
    support::ExecutorRef context_;
    std::optional<ElevatedRoute> elevated_;
    support::Provider<KeepList> keptPaths_;
};

}  // namespace quillo
