#include "deletion/SecureDeletionService.h"

#include <chrono>
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
    run->sink.yield(DeletionStarted{run->moduleID, run->items.size()});
    const support::CancellationToken token = run->sink.token();
    for (const CleanableItem& item : run->items) {
        if (token.isCancelled()) {
            storeReceipts(run, support::Error::cancelled());
            return;
        }
        deleteOne(*run, item);
    }
    storeReceipts(run, std::nullopt);
}

void SecureDeletionService::deleteOne(DeletionRun& run, const CleanableItem& item) {
    run.sink.yield(DeletionItemStarted{run.moduleID, item});
    const TimePoint deletedAt = now();
    const std::string itemID = item.id.uppercaseString();
    if (const auto deleted = deleteItem(item, run.passCount, run.scope, environment_); !deleted) {
        FailedFileRecord record{item.id, deleted.error().description()};
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
