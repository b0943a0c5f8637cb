#include "viewmodels/DeleteViewModel.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <string_view>
#include <utility>

#include "text/Text.h"

namespace quillo {

// One run: the engine's merged stream and what the run has gathered from it. Cancelling drops the
// stream, which stops the delivery of whatever is still queued and cancels the modules' work;
// stopping cancels the work but still hears of it.
struct DeleteViewModel::DeleteTask {
    DeleteTask(support::EventStream<DeletionEvent> events, std::size_t total)
        : events(std::move(events)), total(total) {}

    support::EventStream<DeletionEvent> events;
    std::size_t total;
    std::optional<std::string> currentDisplayName;
    std::size_t completed = 0;
    std::vector<DeletionReport> reports;
    /// The records of modules whose report has not come, for a run stopped before it did.
    std::map<CleaningModuleID, DeletionReport> unreported;
    bool stopping = false;
};

DeleteViewModel::DeleteViewModel(std::shared_ptr<const CleaningEngine> engine,
                                 std::shared_ptr<support::MainExecutor> mainExecutor)
    : engine_(std::move(engine)),
      mainExecutor_(std::move(mainExecutor)),
      phase_(notifier_, "phase", Idle{}),
      pendingItems_(notifier_, "pendingItems"),
      typedConfirmation_(notifier_, "typedConfirmation"),
      deleteTask_(notifier_, "deleteTask") {}

support::ChangeNotifier::Subscription DeleteViewModel::observe(
    support::ChangeNotifier::Observer observer) {
    return notifier_.observe(std::move(observer));
}

void DeleteViewModel::setTypedConfirmation(const std::string& typed) {
    typedConfirmation_.set(typed);
}

const std::string& DeleteViewModel::confirmationPhrase() {
    return text::text("deletion.confirmation.phrase");
}

bool DeleteViewModel::requiresTypedConfirmation() const {
    return std::ranges::any_of(pendingItems(), [](const CleanableItem& item) {
        return std::ranges::find(item.warnings, CleanableItemWarning::irreversible) !=
               item.warnings.end();
    });
}

bool DeleteViewModel::canConfirm() const {
    if (pendingItems().empty()) {
        return false;
    }
    return !requiresTypedConfirmation() || typedConfirmation() == confirmationPhrase();
}

std::int64_t DeleteViewModel::pendingSizeInBytes() const {
    std::int64_t total = 0;
    for (const auto& item : pendingItems()) {
        total += item.sizeInBytes;
    }
    return total;
}

std::vector<DeleteViewModel::ModuleShare> DeleteViewModel::pendingShares() const {
    std::map<std::string_view, ModuleShare> byName;
    for (const auto& item : pendingItems()) {
        auto& share = byName.try_emplace(rawValue(item.moduleID), ModuleShare{item.moduleID, 0, 0})
                          .first->second;
        ++share.itemCount;
        share.sizeInBytes += item.sizeInBytes;
    }
    std::vector<ModuleShare> shares;
    shares.reserve(byName.size());
    for (const auto& entry : byName) {
        shares.push_back(entry.second);
    }
    return shares;
}

void DeleteViewModel::prepareDeletion(CleanableItems items) {
    support::ChangeNotifier::Batch batch(notifier_);
    pendingItems_.set(std::move(items));
    typedConfirmation_.set({});
    phase_.set(Confirming{});
}

void DeleteViewModel::confirm() {
    if (!std::holds_alternative<Confirming>(phase()) || !canConfirm()) {
        return;
    }
    support::ChangeNotifier::Batch batch(notifier_);
    // A run that a new confirmation interrupted is not followed any further.
    cancelTask();
    CleanableItems items = pendingItems();
    const std::size_t total = items.size();
    phase_.set(Deleting{std::nullopt, 0, total});
    auto task = std::make_shared<DeleteTask>(engine_->deleteItems(std::move(items)), total);
    deleteTask_.set(task);
    std::weak_ptr<DeleteTask> weakTask = task;
    task->events.listen(
        mainExecutor_,
        [this, weakTask](const DeletionEvent& event) {
            if (const auto running = weakTask.lock()) {
                receive(*running, event);
            }
        },
        [this, weakTask](const std::optional<support::Error>& error) {
            if (const auto running = weakTask.lock()) {
                end(*running, error);
            }
        });
}

void DeleteViewModel::reset() {
    support::ChangeNotifier::Batch batch(notifier_);
    cancelTask();
    phase_.set(Idle{});
    pendingItems_.set({});
    typedConfirmation_.set({});
}

std::vector<Uuid> DeleteViewModel::deletedItemIDs(const std::vector<DeletionReport>& reports) {
    std::vector<Uuid> ids;
    for (const auto& report : reports) {
        for (const auto& record : report.succeeded) {
            ids.push_back(record.id);
        }
    }
    return ids;
}

std::vector<ReceiptsSavedElsewhere> DeleteViewModel::receiptsSavedElsewhere(
    const std::vector<DeletionReport>& reports) {
    std::vector<ReceiptsSavedElsewhere> places;
    for (const auto& report : reports) {
        const auto& place = report.receiptsSavedElsewhere;
        if (place && std::ranges::find(places, *place) == places.end()) {
            places.push_back(*place);
        }
    }
    return places;
}

void DeleteViewModel::receive(DeleteTask& task, const DeletionEvent& event) {
    if (const auto* finished = std::get_if<DeletionFinished>(&event)) {
        task.reports.push_back(finished->report);
        task.unreported.erase(finished->report.moduleID);
    } else if (const auto* completed = std::get_if<DeletionItemCompleted>(&event)) {
        task.unreported[completed->moduleID].succeeded.push_back(completed->record);
    } else if (const auto* failed = std::get_if<DeletionItemFailed>(&event)) {
        task.unreported[failed->moduleID].failed.push_back(failed->record);
    }
    // Once the phase has moved on, only the reports still count: the run's summary must cover
    // every module part that ended.
    if (!std::holds_alternative<Deleting>(phase())) {
        return;
    }
    // A module's `started` leaves the run's total alone, whatever count it announces.
    if (const auto* itemStarted = std::get_if<DeletionItemStarted>(&event)) {
        task.currentDisplayName = itemStarted->item.displayName;
    } else if (std::holds_alternative<DeletionItemCompleted>(event) ||
               std::holds_alternative<DeletionItemFailed>(event)) {
        ++task.completed;
    }
    phase_.set(Deleting{task.currentDisplayName, task.completed, task.total, task.stopping});
}

void DeleteViewModel::stopDeletion() {
    const auto* deleting = std::get_if<Deleting>(&phase());
    const auto& task = deleteTask_.get();
    if (deleting == nullptr || task == nullptr || task->stopping) {
        return;
    }
    task->stopping = true;
    task->events.requestStop();
    phase_.set(Deleting{task->currentDisplayName, task->completed, task->total, true});
}

void DeleteViewModel::end(DeleteTask& task, const std::optional<support::Error>& error) {
    Phase outcome = Idle{};
    if (!error || (error->isCancellation() && task.stopping)) {
        // A stopped run's modules that were cut short report what they did by their records.
        const TimePoint now = std::chrono::system_clock::now();
        for (auto& [moduleID, report] : task.unreported) {
            report.moduleID = moduleID;
            report.startedAt = now;
            report.completedAt = now;
            task.reports.push_back(std::move(report));
        }
        outcome = Summary{std::move(task.reports), error.has_value()};
    } else if (!error->isCancellation()) {
        outcome = Failed{error->description()};
    }
    support::ChangeNotifier::Batch batch(notifier_);
    deleteTask_.set(nullptr);
    phase_.set(std::move(outcome));
}

void DeleteViewModel::cancelTask() {
    if (const auto& task = deleteTask_.get()) {
        task->events.cancel();
    }
    deleteTask_.set(nullptr);
}

}  // namespace quillo
