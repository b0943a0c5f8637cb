#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "deletion/DeletionEnvironment.h"
#include "deletion/ReceiptStore.h"
#include "model/CleanableItem.h"
#include "model/CleaningModuleID.h"
#include "model/DeletionEvent.h"
#include "model/DeletionMode.h"
#include "model/DeletionReport.h"
#include "platform/SystemLog.h"
#include "support/EventStream.h"
#include "support/Executor.h"
#include "support/Result.h"

namespace quillo {

struct DeletionRun;

/// The one component that removes files for the cleaning modules: in the mode the settings
/// give at the start of each run, it overwrites, removes and verifies each item, logs the
/// outcome and stores a receipt for every removed item. A serialised object: runs execute on
/// its context, giving it up while they wait for the mode, the keep-list, the receipt store and
/// the removals in flight on the environment's workers; items are reported in their order.
class SecureDeletionService final : public std::enable_shared_from_this<SecureDeletionService> {
  public:
    /// Answers with the deletion mode, on any executor.
    using ModeProvider = std::function<void(support::Completion<DeletionMode>)>;
    using Environment = DeletionEnvironment;

    static std::shared_ptr<SecureDeletionService> create(ModeProvider modeProvider,
                                                         std::shared_ptr<ReceiptStore> receiptStore,
                                                         support::ExecutorRef context,
                                                         Environment environment = {});

    /// Deletes `items` of the module `moduleID`. The run starts at once; dropping or cancelling
    /// the stream cancels it before its next item. Events: started, then per item itemStarted
    /// and itemCompleted or itemFailed, then finished with the report. A cancelled run, or one
    /// whose receipts cannot be stored, ends the stream with that error instead of finished;
    /// the receipts of the items it removed are stored either way.
    support::EventStream<DeletionEvent> deletionEvents(std::vector<CleanableItem> items,
                                                       CleaningModuleID moduleID);

    /// `deletionEvents` read to its end: the report of its finished event, or its error. `done`
    /// runs on the service's context.
    void deleteItems(std::vector<CleanableItem> items, CleaningModuleID moduleID,
                     support::Completion<DeletionReport> done);

    SecureDeletionService(ModeProvider modeProvider, std::shared_ptr<ReceiptStore> receiptStore,
                          support::ExecutorRef context, Environment environment);

  private:
    void prepare(const std::shared_ptr<DeletionRun>& run);
    void deleteAll(const std::shared_ptr<DeletionRun>& run, DeletionMode mode);
    void advance(const std::shared_ptr<DeletionRun>& run);
    [[nodiscard]] static bool canDispatchNext(const DeletionRun& run);
    void dispatchNext(const std::shared_ptr<DeletionRun>& run);
    void reportFinished(DeletionRun& run);
    void report(DeletionRun& run, const CleanableItem& item, TimePoint deletedAt,
                const support::Status& outcome);
    void storeReceipts(const std::shared_ptr<DeletionRun>& run,
                       std::optional<support::Error> endError);
    void conclude(DeletionRun& run, std::optional<support::Error> endError);
    [[nodiscard]] TimePoint now() const;
    [[nodiscard]] platform::DeletionScope scopeOf(CleaningModuleID moduleID,
                                                  const KeepList& kept) const;

    ModeProvider modeProvider_;
    std::shared_ptr<ReceiptStore> receiptStore_;
    support::ExecutorRef context_;
    Environment environment_;
    platform::SystemLog log_;
};

}  // namespace quillo
