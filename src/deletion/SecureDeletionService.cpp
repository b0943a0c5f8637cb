#include "deletion/SecureDeletionService.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

#include "deletion/ItemDeletion.h"
#include "deletion/ReceiptHash.h"

namespace quillo {

namespace {

constexpr char kLogCategory[] = "deletion";
constexpr std::string_view kDeletedFormat = "delete ok id=%{public}s path=%{private}s";
constexpr std::string_view kFailedFormat = "delete failed id=%{public}s reason=%{public}s";

// Whether one path is the other or lies inside it: such items are deleted one after the other,
// as they would race for the same entries.
bool nested(const std::string& left, const std::string& right) {
    const std::string& shorter = left.size() <= right.size() ? left : right;
    const std::string& longer = left.size() <= right.size() ? right : left;
    return longer.starts_with(shorter) && (longer.size() == shorter.size() ||
                                           shorter.ends_with('/') || longer[shorter.size()] == '/');
}

}  // namespace

/// What one run keeps while it works through its items; touched only on the service's context.
struct DeletionRun {
    DeletionRun(support::EventSink<DeletionEvent> sink, std::vector<CleanableItem> items,
                CleaningModuleID moduleID)
        : sink(std::move(sink)), items(std::move(items)), moduleID(moduleID) {}

    support::EventSink<DeletionEvent> sink;
    std::vector<CleanableItem> items;
    CleaningModuleID moduleID;
    TimePoint startedAt;
    int passCount = 0;
    platform::DeletionScope scope;
    /// Items handed out, and of them the ones not yet reported, in the items' order.
    std::size_t dispatched = 0;
    struct Pending {
        TimePoint deletedAt;
        bool announced = false;
        std::optional<support::Status> outcome;
    };
    std::deque<Pending> pending;
    std::size_t inFlightLimit = 1;
    bool cancelled = false;
    std::vector<DeletedFileRecord> succeeded;
    std::vector<FailedFileRecord> failed;
    std::vector<DeletionReceipt> receipts;
    std::optional<ReceiptsSavedElsewhere> receiptsSavedElsewhere;
};

std::shared_ptr<SecureDeletionService> SecureDeletionService::create(
    ModeProvider modeProvider, std::shared_ptr<ReceiptStore> receiptStore,
    support::ExecutorRef context, Environment environment) {
    return std::make_shared<SecureDeletionService>(std::move(modeProvider), std::move(receiptStore),
                                                   std::move(context), std::move(environment));
}

SecureDeletionService::SecureDeletionService(ModeProvider modeProvider,
                                             std::shared_ptr<ReceiptStore> receiptStore,
                                             support::ExecutorRef context, Environment environment)
    : modeProvider_(std::move(modeProvider)),
      receiptStore_(std::move(receiptStore)),
      context_(std::move(context)),
      environment_(std::move(environment)),
      log_(kLogCategory, environment_.log) {}

support::EventStream<DeletionEvent> SecureDeletionService::deletionEvents(
    std::vector<CleanableItem> items, CleaningModuleID moduleID) {
    return support::makeEventStream<DeletionEvent>(
        [&](const support::EventSink<DeletionEvent>& sink) {
            auto run = std::make_shared<DeletionRun>(sink, std::move(items), moduleID);
            context_->post([service = weak_from_this(), run = std::move(run)] {
                if (const auto self = service.lock()) {
                    self->prepare(run);
                } else {
                    run->sink.finish();
                }
            });
        });
}

void SecureDeletionService::deleteItems(std::vector<CleanableItem> items, CleaningModuleID moduleID,
                                        support::Completion<DeletionReport> done) {
    // Owns the stream until it has ended; dropping it earlier would cancel the run.
    struct Reading {
        std::optional<support::EventStream<DeletionEvent>> stream;
        std::optional<DeletionReport> report;
    };
    auto reading = std::make_shared<Reading>();
    reading->stream.emplace(deletionEvents(std::move(items), moduleID));
    reading->stream->listen(
        context_,
        [reading](DeletionEvent event) {
            if (auto* finished = std::get_if<DeletionFinished>(&event)) {
                reading->report = std::move(finished->report);
            }
        },
        [reading, moduleID, done = std::move(done),
         self = shared_from_this()](std::optional<support::Error> error) {
            reading->stream.reset();
            if (error) {
                done(std::move(*error));
            } else if (reading->report) {
                done(std::move(*reading->report));
            } else {
                const TimePoint startedAt = self->now();
                done(DeletionReport{moduleID, {}, {}, startedAt, self->now()});
            }
        });
}

void SecureDeletionService::prepare(const std::shared_ptr<DeletionRun>& run) {
    run->startedAt = now();
    modeProvider_([self = shared_from_this(), run](support::Result<DeletionMode> mode) {
        self->context_->post([self, run, mode = std::move(mode)] {
            if (!mode) {
                run->sink.finish(mode.error());
                return;
            }
            self->environment_.keptPaths([self, run, mode = mode.value()](const KeepList& kept) {
                self->context_->post([self, run, mode, kept] {
                    run->scope = self->scopeOf(run->moduleID, kept);
                    self->deleteAll(run, mode);
                });
            });
        });
    });
}

void SecureDeletionService::deleteAll(const std::shared_ptr<DeletionRun>& run, DeletionMode mode) {
    run->passCount = overwritePassCount(mode);
    // Overwrites go one at a time, to bound their memory and give one file the disk's bandwidth.
    const bool overlaps = environment_.removalWorkers && run->passCount == 0;
    run->inFlightLimit = overlaps ? std::max<std::size_t>(environment_.removalsInFlight, 1) : 1;
    run->sink.yield(DeletionStarted{run->moduleID, run->items.size()});
    advance(run);
}

// Hands out items while there is room, reports the finished ones in the items' order and, once
// every item handed out is reported, stores the receipts. Runs again whenever a worker is done.
void SecureDeletionService::advance(const std::shared_ptr<DeletionRun>& run) {
    for (;;) {
        reportFinished(*run);
        const bool exhausted = run->dispatched == run->items.size() || run->cancelled;
        if (exhausted && run->pending.empty()) {
            storeReceipts(
                run, run->cancelled ? std::optional(support::Error::cancelled()) : std::nullopt);
            return;
        }
        if (exhausted || run->pending.size() >= run->inFlightLimit || !canDispatchNext(*run)) {
            return;
        }
        if (run->sink.token().isCancelled()) {
            run->cancelled = true;
            continue;
        }
        dispatchNext(run);
    }
}

bool SecureDeletionService::canDispatchNext(const DeletionRun& run) {
    const std::string& next = run.items[run.dispatched].url.native();
    const std::size_t firstPending = run.dispatched - run.pending.size();
    for (std::size_t index = firstPending; index < run.dispatched; ++index) {
        if (nested(run.items[index].url.native(), next)) {
            return false;
        }
    }
    return true;
}

void SecureDeletionService::dispatchNext(const std::shared_ptr<DeletionRun>& run) {
    const std::size_t index = run->dispatched++;
    const CleanableItem& item = run->items[index];
    // Only the oldest item in flight is announced; the others are when they become the oldest.
    const bool isOldest = run->pending.empty();
    if (isOldest) {
        run->sink.yield(DeletionItemStarted{run->moduleID, item});
    }
    run->pending.push_back({.deletedAt = now(), .announced = isOldest, .outcome = std::nullopt});
    if (!environment_.removalWorkers) {
        run->pending.back().outcome = deleteItem(item, run->passCount, run->scope, environment_);
        return;
    }
    environment_.removalWorkers->post([self = shared_from_this(), run, index] {
        support::Status outcome =
            deleteItem(run->items[index], run->passCount, run->scope, self->environment_);
        self->context_->post([self, run, index, outcome = std::move(outcome)] {
            run->pending[index - (run->dispatched - run->pending.size())].outcome = outcome;
            self->advance(run);
        });
    });
}

void SecureDeletionService::reportFinished(DeletionRun& run) {
    while (!run.pending.empty()) {
        DeletionRun::Pending& head = run.pending.front();
        const CleanableItem& item = run.items[run.dispatched - run.pending.size()];
        if (!head.announced) {
            run.sink.yield(DeletionItemStarted{run.moduleID, item});
            head.announced = true;
        }
        if (!head.outcome) {
            return;
        }
        report(run, item, head.deletedAt, *head.outcome);
        run.pending.pop_front();
    }
}

void SecureDeletionService::report(DeletionRun& run, const CleanableItem& item, TimePoint deletedAt,
                                   const support::Status& outcome) {
    const std::string itemID = item.id.uppercaseString();
    if (!outcome) {
        FailedFileRecord record{item.id, outcome.error().description()};
        log_.error(kFailedFormat, {itemID, record.reason});
        run.failed.push_back(record);
        run.sink.yield(DeletionItemFailed{run.moduleID, std::move(record)});
        return;
    }
    DeletionReceipt receipt{
        .id = Uuid::random(),
        .hash = receiptHash(item.id, item.url, item.sizeInBytes, deletedAt),
        .sizeInBytes = item.sizeInBytes,
        .deletedAt = deletedAt,
        .moduleID = item.moduleID,
    };
    DeletedFileRecord record{item.id, item.sizeInBytes, receipt.hash};
    run.receipts.push_back(std::move(receipt));
    run.succeeded.push_back(record);
    run.sink.yield(DeletionItemCompleted{run.moduleID, std::move(record)});
    log_.info(kDeletedFormat, {itemID, item.url.native()});
}

platform::DeletionScope SecureDeletionService::scopeOf(CleaningModuleID moduleID,
                                                       const KeepList& kept) const {
    const auto areas = environment_.moduleAreas.find(moduleID);
    return {
        .areas = areas != environment_.moduleAreas.end() ? areas->second
                                                         : std::vector<platform::DeletionArea>(),
        .home = environment_.homeFolder,
        .kept = std::make_shared<const platform::KeptPaths>(kept),
    };
}

// Removed items keep their proof even when the run was cancelled: their receipts are stored
// before the run ends with `endError`. A store failure outweighs the cancellation, since it
// means that proof was lost.
void SecureDeletionService::storeReceipts(const std::shared_ptr<DeletionRun>& run,
                                          std::optional<support::Error> endError) {
    if (run->receipts.empty()) {
        conclude(*run, std::move(endError));
        return;
    }
    receiptStore_->append(
        std::move(run->receipts),
        [self = shared_from_this(), run, endError = std::move(endError)](
            support::Result<std::optional<ReceiptsSavedElsewhere>> stored) {
            self->context_->post([self, run, endError, stored = std::move(stored)] {
                if (!stored) {
                    run->sink.finish(stored.error());
                    return;
                }
                run->receiptsSavedElsewhere = stored.value();
                self->conclude(*run, endError);
            });
        });
}

void SecureDeletionService::conclude(DeletionRun& run, std::optional<support::Error> endError) {
    if (endError) {
        run.sink.finish(std::move(endError));
        return;
    }
    run.sink.yield(DeletionFinished{DeletionReport{
        .moduleID = run.moduleID,
        .succeeded = std::move(run.succeeded),
        .failed = std::move(run.failed),
        .startedAt = run.startedAt,
        .completedAt = now(),
        .receiptsSavedElsewhere = std::move(run.receiptsSavedElsewhere),
    }});
    run.sink.finish();
}

// Receipts keep microseconds, so that a stored time reads back as the one that was hashed.
TimePoint SecureDeletionService::now() const {
    return std::chrono::time_point_cast<std::chrono::microseconds>(environment_.clock());
}

}  // namespace quillo
