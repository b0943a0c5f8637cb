#include "helper/HelperClient.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <utility>

#include "text/Text.h"

namespace quillo {

namespace {

// More items than any real system folder holds means the answer is not to be trusted.
constexpr std::size_t kMaxScannedItems = 1'000'000;

TimePoint now() {
    return std::chrono::time_point_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now());
}

CleanableItem asElevated(CleanableItem item) {
    if (std::ranges::find(item.warnings, CleanableItemWarning::requiresElevatedPrivileges) ==
        item.warnings.end()) {
        item.warnings.push_back(CleanableItemWarning::requiresElevatedPrivileges);
    }
    item.isSafeToDeleteByDefault = false;
    return item;
}

}  // namespace

/// One deletion through the helper, touched only on the client's context. Only the ids the
/// run handed over are taken from the helper's answers, each once.
struct ElevatedRun {
    struct Entry {
        CleanableItem item;
        bool started = false;
        bool answered = false;
    };

    ElevatedRun(support::EventSink<DeletionEvent> sink, CleanableItems items)
        : sink(std::move(sink)), startedAt(now()) {
        for (auto& item : items) {
            const auto id = item.id;
            if (entries.emplace(id, Entry{std::move(item)}).second) {
                order.push_back(id);
            }
        }
    }

    Entry* unanswered(const Uuid& id) {
        const auto found = entries.find(id);
        if (found == entries.end() || found->second.answered) {
            return nullptr;
        }
        if (!found->second.started) {
            found->second.started = true;
            sink.yield(DeletionItemStarted{found->second.item.moduleID, found->second.item});
        }
        return &found->second;
    }

    void receive(HelperMessage message) {
        if (const auto* started = std::get_if<HelperItemStarted>(&message)) {
            unanswered(started->id);
        } else if (auto* removed = std::get_if<DeletedFileRecord>(&message)) {
            if (auto* entry = unanswered(removed->id)) {
                entry->answered = true;
                hashes.insert(removed->receiptHash);
                report(entry->item.moduleID).succeeded.push_back(*removed);
                sink.yield(DeletionItemCompleted{entry->item.moduleID, *removed});
            }
        } else if (auto* failed = std::get_if<FailedFileRecord>(&message)) {
            fail(failed->id, failed->reason);
        } else if (auto* receipt = std::get_if<DeletionReceipt>(&message)) {
            if (hashes.erase(receipt->hash) > 0) {
                receipts.push_back(std::move(*receipt));
            }
        } else if (auto* refusal = std::get_if<HelperRefusal>(&message)) {
            refusalReason = std::move(refusal->reason);
        }
    }

    void fail(const Uuid& id, const std::string& reason) {
        if (auto* entry = unanswered(id)) {
            entry->answered = true;
            FailedFileRecord record{id, reason};
            report(entry->item.moduleID).failed.push_back(record);
            sink.yield(DeletionItemFailed{entry->item.moduleID, std::move(record)});
        }
    }

    DeletionReport& report(CleaningModuleID moduleID) {
        auto& found = reports[moduleID];
        found.moduleID = moduleID;
        return found;
    }

    support::EventSink<DeletionEvent> sink;
    TimePoint startedAt;
    std::map<Uuid, Entry> entries;
    std::vector<Uuid> order;
    std::map<CleaningModuleID, DeletionReport> reports;
    std::set<std::string> hashes;
    std::vector<DeletionReceipt> receipts;
    std::optional<std::string> refusalReason;
};

std::shared_ptr<HelperClient> HelperClient::create(HelperLaunch launch,
                                                   SecureDeletionService::ModeProvider modeProvider,
                                                   support::Provider<KeepList> keptPaths,
                                                   std::shared_ptr<ReceiptStore> userStore,
                                                   support::ExecutorRef context,
                                                   LogRetentionProvider retention) {
    return std::make_shared<HelperClient>(std::move(launch), std::move(modeProvider),
                                          std::move(keptPaths), std::move(userStore),
                                          std::move(context), std::move(retention));
}

HelperClient::HelperClient(HelperLaunch launch, SecureDeletionService::ModeProvider modeProvider,
                           support::Provider<KeepList> keptPaths,
                           std::shared_ptr<ReceiptStore> userStore, support::ExecutorRef context,
                           LogRetentionProvider retention)
    : launch_(std::move(launch)),
      modeProvider_(std::move(modeProvider)),
      keptPaths_(keptPaths ? std::move(keptPaths) : keepingNothing()),
      userStore_(std::move(userStore)),
      context_(std::move(context)),
      retention_(std::move(retention)) {}

void HelperClient::scan(const std::set<CleaningModuleID>& modules, ScanDepth depth,
                        support::Completion<ScanResults> done) {
    retention_([self = shared_from_this(), modules, depth, done = std::move(done)](int days) {
        self->context_->post([self, modules, depth, days, done] {
            self->exchangeScan(
                HelperScanRequest{.modules = modules, .depth = depth, .logRetentionDays = days},
                done);
        });
    });
}

void HelperClient::exchangeScan(const HelperScanRequest& request,
                                support::Completion<ScanResults> done) {
    struct Collected {
        ScanResults results;
        std::size_t count = 0;
        std::optional<std::string> refusal;
    };
    auto collected = std::make_shared<Collected>();
    for (const auto id : request.modules) {
        collected->results[id];
    }
    exchangeWithHelper(
        launch_, request, context_,
        [collected](HelperMessage message) {
            if (auto* item = std::get_if<CleanableItem>(&message)) {
                const auto module = collected->results.find(item->moduleID);
                if (module != collected->results.end() && ++collected->count <= kMaxScannedItems) {
                    module->second.push_back(asElevated(std::move(*item)));
                }
            } else if (auto* refusal = std::get_if<HelperRefusal>(&message)) {
                collected->refusal = std::move(refusal->reason);
            }
        },
        [collected, done = std::move(done)](std::optional<support::Error> error) {
            if (error) {
                done(std::move(*error));
            } else if (collected->refusal) {
                done(support::Error::make(HelperUnavailableError(*collected->refusal)));
            } else {
                done(std::move(collected->results));
            }
        });
}

support::EventStream<DeletionEvent> HelperClient::deleteItems(CleanableItems items) {
    return support::makeEventStream<DeletionEvent>(
        [&](const support::EventSink<DeletionEvent>& sink) {
            auto run = std::make_shared<ElevatedRun>(sink, std::move(items));
            modeProvider_([self = shared_from_this(), run](support::Result<DeletionMode> mode) {
                self->context_->post([self, run, mode = std::move(mode)] {
                    if (!mode) {
                        run->sink.finish(mode.error());
                        return;
                    }
                    self->keptPaths_([self, run, mode = mode.value()](const KeepList& kept) {
                        self->retention_([self, run, mode, kept](int days) {
                            self->context_->post([self, run, mode, kept, days] {
                                self->start(run, mode, kept, days);
                            });
                        });
                    });
                });
            });
        });
}

void HelperClient::start(const std::shared_ptr<ElevatedRun>& run, DeletionMode mode,
                         const KeepList& kept, int retentionDays) {
    std::map<CleaningModuleID, std::size_t> counts;
    HelperDeleteRequest request{
        .mode = mode, .wishes = {}, .kept = kept.rules(), .logRetentionDays = retentionDays};
    for (const auto& id : run->order) {
        const auto& item = run->entries.at(id).item;
        ++counts[item.moduleID];
        request.wishes.push_back(HelperWish{id, item.moduleID, item.url.native()});
    }
    for (const auto& [moduleID, count] : counts) {
        run->report(moduleID);
        run->sink.yield(DeletionStarted{moduleID, count});
    }
    exchangeWithHelper(
        launch_, request, context_,
        [run](HelperMessage message) { run->receive(std::move(message)); },
        [self = shared_from_this(), run](std::optional<support::Error> error) {
            self->conclude(run, std::move(error));
        });
}

// Every item gets its outcome, then the receipts reach the user's store, then each module its
// report, as the local deletion service does it.
void HelperClient::conclude(const std::shared_ptr<ElevatedRun>& run,
                            std::optional<support::Error> error) {
    const std::string reason = error                ? error->description()
                               : run->refusalReason ? *run->refusalReason
                                                    : text::text("helper.failure.unanswered");
    for (const auto& id : run->order) {
        run->fail(id, reason);
    }
    const auto finish = [run](const std::optional<ReceiptsSavedElsewhere>& savedElsewhere) {
        for (auto& [moduleID, report] : run->reports) {
            report.startedAt = run->startedAt;
            report.completedAt = now();
            report.receiptsSavedElsewhere = savedElsewhere;
            run->sink.yield(DeletionFinished{std::move(report)});
        }
        run->sink.finish();
    };
    if (run->receipts.empty()) {
        finish(std::nullopt);
        return;
    }
    userStore_->append(std::move(run->receipts),
                       [self = shared_from_this(), run,
                        finish](support::Result<std::optional<ReceiptsSavedElsewhere>> stored) {
                           self->context_->post([run, finish, stored = std::move(stored)] {
                               if (!stored) {
                                   run->sink.finish(stored.error());
                                   return;
                               }
                               finish(stored.value());
                           });
                       });
}

}  // namespace quillo
