#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "modules/CleaningModule.h"

namespace quillo {

using ScanResults = std::map<CleaningModuleID, CleanableItems>;

/// Holds the modules, runs scans over a chosen set of them and hands mixed
/// lists of items to the modules that own them. It keeps no state between
/// calls: scans and deletion runs are independent and may overlap.
class CleaningEngine final {
  public:
    /// `context` serialises the engine's own bookkeeping; module ids must be
    /// unique.
    CleaningEngine(std::vector<std::shared_ptr<CleaningModule>> modules,
                   support::ExecutorRef context);

    [[nodiscard]] const std::vector<std::shared_ptr<CleaningModule>>& modules() const {
        return modules_;
    }
    [[nodiscard]] const std::vector<CleaningModuleDescriptor>& descriptors() const {
        return descriptors_;
    }

    /// Scans the modules in `moduleIDs` (all of them without a set) in parallel.
    /// `done` runs on the engine's context with one entry per selected module, or
    /// with the first module error, or with the cancellation error.
    void scan(std::optional<std::set<CleaningModuleID>> moduleIDs,
              const support::CancellationToken& token, support::Completion<ScanResults> done) const;

    /// Deletes items of any modules: the modules' event streams merged into one,
    /// which ends with the first module error after all other streams have ended.
    /// Items of modules the engine does not have are ignored.
    [[nodiscard]] support::EventStream<DeletionEvent> deleteItems(CleanableItems items) const;

  private:
    std::vector<std::shared_ptr<CleaningModule>> modules_;
    std::vector<CleaningModuleDescriptor> descriptors_;
    support::ExecutorRef context_;
};

}  // namespace quillo
