#pragma once

#include <memory>
#include <vector>

#include "model/CleanableItem.h"
#include "model/CleaningModuleDescriptor.h"
#include "model/DeletionEvent.h"
#include "support/CancellationToken.h"
#include "support/EventStream.h"
#include "support/Executor.h"
#include "support/Result.h"

namespace quillo {

using CleanableItems = std::vector<CleanableItem>;

/// One kind of system data that can be found and deleted. A module is a
/// serialised object: its operations run one at a time on its own context. Its
/// properties are fixed for its whole life and may be read from any thread.
class CleaningModule : public std::enable_shared_from_this<CleaningModule> {
  public:
    CleaningModule(CleaningModuleDescriptor properties, support::ExecutorRef context);
    virtual ~CleaningModule() = default;
    CleaningModule(const CleaningModule&) = delete;
    CleaningModule& operator=(const CleaningModule&) = delete;

    [[nodiscard]] CleaningModuleID id() const { return properties_.id; }
    [[nodiscard]] const LocalizableText& displayName() const { return properties_.displayName; }
    [[nodiscard]] const LocalizableText& explanation() const { return properties_.explanation; }
    [[nodiscard]] const std::string& symbolName() const { return properties_.symbolName; }
    [[nodiscard]] double estimatedScanDuration() const { return properties_.estimatedScanDuration; }
    [[nodiscard]] bool isDestructive() const { return properties_.isDestructive; }
    [[nodiscard]] bool isAvailableInSandbox() const { return properties_.isAvailableInSandbox; }
    [[nodiscard]] bool requiresFullDiskAccess() const { return properties_.requiresFullDiskAccess; }

    /// Examines the module's locations. `done` runs once, on the module's
    /// context; the only failures are cancellation and, for tool-based modules,
    /// the tool's error.
    virtual void scan(support::CancellationToken token,
                      support::Completion<CleanableItems> done) = 0;

    /// Deletes the given items of this module. The work starts at once; dropping
    /// the stream cancels it.
    virtual support::EventStream<DeletionEvent> deleteItems(CleanableItems items) = 0;

  protected:
    [[nodiscard]] const support::ExecutorRef& context() const { return context_; }

  private:
    CleaningModuleDescriptor properties_;
    support::ExecutorRef context_;
};

}  // namespace quillo
