#include "helper/HelperService.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include "helper/WishMatching.h"
#include "modules/ToolItems.h"
#include "platform/PathText.h"
#include "support/Utf8.h"

namespace quillo {

/// One deletion request in progress, touched only on the engine's context.
struct HelperService::Deletion {
    std::function<void()> done;
    std::shared_ptr<CleaningEngine> engine;
    std::vector<CandidateWish> candidates;
    std::optional<support::EventStream<DeletionEvent>> stream;
    /// The wishes whose outcome was sent, each only once.
    std::set<Uuid> answered{};
};

std::shared_ptr<HelperService> HelperService::create(DefaultModuleServices services,
                                                     Respond respond, AfterScan afterScan) {
    return std::make_shared<HelperService>(std::move(services), std::move(respond),
                                           std::move(afterScan));
}

HelperService::HelperService(DefaultModuleServices services, Respond respond, AfterScan afterScan)
    : locations_(services.locations),
      services_(std::move(services)),
      respond_(std::move(respond)),
      afterScan_(std::move(afterScan)),
      store_(ReceiptStore::create(ReceiptStore::InMemory{}, services_.makeContext())) {}

void HelperService::answer(std::string_view line, std::function<void()> done) {
    auto request = decodeRequest(line);
    if (!request) {
        respond_(HelperRefusal{request.error().description()});
        done();
        return;
    }
    if (const auto* scanRequest = std::get_if<HelperScanRequest>(&request.value())) {
        scan(*scanRequest, std::move(done));
    } else {
        deleteWishes(std::get<HelperDeleteRequest>(std::move(request).value()), std::move(done));
    }
}

std::shared_ptr<CleaningEngine> HelperService::makeEngine(DeletionMode mode, ScanDepth depth,
                                                          const KeepList& kept, int retentionDays) {
    auto services = services_;
    services.keptPaths = [kept](const std::function<void(KeepList)>& answer) { answer(kept); };
    services.logRetentionDays = fixedLogRetention(retentionDays);
    return makeDefault([mode](const support::Completion<DeletionMode>& answer) { answer(mode); },
                       [depth](const std::function<void(ScanDepth)>& answer) { answer(depth); },
                       std::move(services), store_);
}

// Only what the protocol can name and what lies below the module's roots, or a tool deletes, is
// sent.
bool HelperService::isBelowRoots(const CleanableItem& item) const {
    const auto roots = moduleRoots(locations_, item.moduleID);
    return support::isValidUtf8(item.url.native()) &&
           (isDeletedByTool(locations_, item.moduleID, item.url) ||
            std::ranges::any_of(roots, [&](const std::filesystem::path& root) {
                return platform::componentsBelow(root.native(), item.url.native()).has_value();
            }));
}

void HelperService::scan(const HelperScanRequest& request, std::function<void()> done) {
    auto engine = makeEngine(DeletionMode::standard, request.depth, {}, request.logRetentionDays);
    engine->scan(request.modules, {},
                 [self = shared_from_this(), engine,
                  done = std::move(done)](support::Result<ScanResults> found) {
                     if (!found) {
                         self->respond_(HelperRefusal{found.error().description()});
                     } else {
                         for (const auto& [moduleID, items] : found.value()) {
                             for (const auto& item : items) {
                                 if (self->isBelowRoots(item)) {
                                     self->respond_(item);
                                 }
                             }
                         }
                         self->respond_(HelperDone{});
                     }
                     done();
                 });
}

void HelperService::deleteWishes(HelperDeleteRequest request, std::function<void()> done) {
    auto screening = screenWishes(std::move(request.wishes), locations_);
    for (const auto& refused : screening.refused) {
        respond_(refused);
    }
    std::set<CleaningModuleID> modules;
    for (const auto& candidate : screening.kept) {
        modules.insert(candidate.moduleID);
    }
    // The deep scan finds everything a standard one does, so a wish made from either is found.
    auto deletion = std::make_shared<Deletion>(
        Deletion{.done = std::move(done),
                 .engine = makeEngine(request.mode, ScanDepth::deep, KeepList(request.kept),
                                      request.logRetentionDays),
                 .candidates = std::move(screening.kept),
                 .stream = std::nullopt});
    deletion->engine->scan(
        std::move(modules), {},
        [self = shared_from_this(), deletion](support::Result<ScanResults> found) {
            if (!found) {
                self->respond_(HelperRefusal{found.error().description()});
                deletion->done();
                return;
            }
            self->deleteFound(deletion, found.value());
        });
}

void HelperService::deleteFound(const std::shared_ptr<Deletion>& deletion,
                                const ScanResults& found) {
    auto matching = matchWishes(deletion->candidates, found);
    if (afterScan_) {
        afterScan_();
    }
    auto rechecked = recheckWishes(std::move(matching.kept));
    for (const auto& refused : matching.refused) {
        respond_(refused);
    }
    for (const auto& refused : rechecked.refused) {
        respond_(refused);
    }
    CleanableItems items;
    for (auto& match : rechecked.kept) {
        items.push_back(std::move(match.item));
    }
    deletion->stream.emplace(deletion->engine->deleteItems(std::move(items)));
    deletion->stream->listen(
        services_.makeContext(),
        [self = shared_from_this(), deletion](DeletionEvent event) {
            const auto answer = [&](const auto& record) {
                if (deletion->answered.insert(record.id).second) {
                    self->respond_(record);
                }
            };
            if (const auto* started = std::get_if<DeletionItemStarted>(&event)) {
                self->respond_(HelperItemStarted{started->item.id});
            } else if (const auto* completed = std::get_if<DeletionItemCompleted>(&event)) {
                answer(completed->record);
            } else if (const auto* failed = std::get_if<DeletionItemFailed>(&event)) {
                answer(failed->record);
            } else if (const auto* finished = std::get_if<DeletionFinished>(&event)) {
                // Tool modules (the snapshots) report their items only in the final report.
                std::ranges::for_each(finished->report.succeeded, answer);
                std::ranges::for_each(finished->report.failed, answer);
            }
        },
        [self = shared_from_this(), deletion](std::optional<support::Error> error) {
            self->sendReceipts(deletion, std::move(error));
        });
}

// The receipts go back whatever ended the run: the caller stores them in the user's own store,
// and a removed item's proof must not be lost.
void HelperService::sendReceipts(const std::shared_ptr<Deletion>& deletion,
                                 std::optional<support::Error> error) {
    store_->cachedReceipts([self = shared_from_this(), deletion, error = std::move(error)](
                               support::Result<std::vector<DeletionReceipt>> receipts) {
        if (receipts) {
            for (const auto& receipt : receipts.value()) {
                self->respond_(receipt);
            }
        }
        if (error) {
            self->respond_(HelperRefusal{error->description()});
        } else {
            self->respond_(HelperDone{});
        }
        deletion->stream.reset();
        deletion->done();
    });
}

}  // namespace quillo
