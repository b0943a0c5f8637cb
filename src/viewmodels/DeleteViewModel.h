#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/DeletionReport.h"
#include "modules/CleaningEngine.h"
#include "support/Executor.h"
#include "support/Observation.h"
#include "viewmodels/PhaseCases.h"

namespace quillo {

/// One deletion run as the user sees it: confirmation (with a typed phrase for irreversible
/// items), progress from the engine's events, and the summary of the module reports. Main thread
/// only. Observers hear "phase", "pendingItems", "typedConfirmation" and "deleteTask" when they
/// change.
class DeleteViewModel final {
  public:
    struct Deleting {
        /// None before the first item starts.
        std::optional<std::string> currentDisplayName;
        /// Items finished, deleted or failed.
        std::size_t completed = 0;
        /// Items handed to the engine.
        std::size_t total = 0;
        /// The user asked to stop; the run ends after its current item.
        bool stopping = false;

        friend bool operator==(const Deleting&, const Deleting&) = default;
    };
    struct Summary {
        /// One per module part, in the order the parts finished.
        std::vector<DeletionReport> reports;
        /// The user stopped the run before its last item.
        bool stopped = false;

        friend bool operator==(const Summary&, const Summary&) = default;
    };
    using Failed = phase::Failed;
    using Idle = phase::Idle;
    struct Confirming {
        friend bool operator==(Confirming, Confirming) = default;
    };
    using Phase = std::variant<Deleting, Summary, Failed, Idle, Confirming>;

    /// The pending items of one module, as the confirmation lists them.
    struct ModuleShare {
        CleaningModuleID moduleID = CleaningModuleID::systemCaches;
        std::size_t itemCount = 0;
        std::int64_t sizeInBytes = 0;

        friend bool operator==(const ModuleShare&, const ModuleShare&) = default;
    };

    /// Stream events are taken on `mainExecutor`, the executor of the thread this object lives
    /// on.
    DeleteViewModel(std::shared_ptr<const CleaningEngine> engine,
                    std::shared_ptr<support::MainExecutor> mainExecutor);
    DeleteViewModel(const DeleteViewModel&) = delete;
    DeleteViewModel& operator=(const DeleteViewModel&) = delete;

    [[nodiscard]] support::ChangeNotifier::Subscription observe(
        support::ChangeNotifier::Observer observer);

    [[nodiscard]] const Phase& phase() const { return phase_.get(); }
    /// Fixed when the confirmation opens.
    [[nodiscard]] const CleanableItems& pendingItems() const { return pendingItems_.get(); }
    [[nodiscard]] const std::string& typedConfirmation() const { return typedConfirmation_.get(); }
    void setTypedConfirmation(const std::string& typed);
    /// Whether a run's stream is still being followed.
    [[nodiscard]] bool hasDeleteTask() const { return deleteTask_.get() != nullptr; }

    /// What the user must type, from the text catalogue at every call.
    [[nodiscard]] static const std::string& confirmationPhrase();
    /// True when a pending item is irreversible.
    [[nodiscard]] bool requiresTypedConfirmation() const;
    /// Pending items exist and, when required, the typed text is the phrase exactly.
    [[nodiscard]] bool canConfirm() const;
    [[nodiscard]] std::int64_t pendingSizeInBytes() const;
    /// One entry per module with pending items, ordered by the module identifier's text.
    [[nodiscard]] std::vector<ModuleShare> pendingShares() const;

    /// Opens the confirmation for `items`, forgetting any text typed before.
    void prepareDeletion(CleanableItems items);
    /// Starts the run of the pending items; only from the confirmation, and only when
    /// canConfirm holds.
    void confirm();
    /// Cancels the run, if any, and returns to idle with nothing pending.
    void reset();
    /// Asks the running deletion to stop before its next item; it then ends in the summary of
    /// what it did, so the removed items leave the list and their receipts can be exported.
    void stopDeletion();

    /// The ids of every succeeded record, report by report; failed items are left out.
    [[nodiscard]] static std::vector<Uuid> deletedItemIDs(
        const std::vector<DeletionReport>& reports);
    /// Every other place the reports' receipts went to, each once, in report order.
    [[nodiscard]] static std::vector<ReceiptsSavedElsewhere> receiptsSavedElsewhere(
        const std::vector<DeletionReport>& reports);

  private:
    struct DeleteTask;

    void receive(DeleteTask& task, const DeletionEvent& event);
    void end(DeleteTask& task, const std::optional<support::Error>& error);
    void cancelTask();

    std::shared_ptr<const CleaningEngine> engine_;
    std::shared_ptr<support::MainExecutor> mainExecutor_;
    support::ChangeNotifier notifier_;
    support::ObservedField<Phase> phase_;
    support::ObservedField<CleanableItems> pendingItems_;
    support::ObservedField<std::string> typedConfirmation_;
    support::ObservedField<std::shared_ptr<DeleteTask>> deleteTask_;
};

}  // namespace quillo
