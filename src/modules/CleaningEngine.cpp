#include "modules/CleaningEngine.h"

#include <algorithm>
#include <cassert>

#include "modules/SplitModuleEvents.h"
#include "platform/KeptPaths.h"

namespace quillo {

namespace {

CleaningModuleDescriptor describe(const CleaningModule& module) {
    return CleaningModuleDescriptor{
        .id = module.id(),
        .displayName = module.displayName(),
        .explanation = module.explanation(),
        .symbolName = module.symbolName(),
        .isDestructive = module.isDestructive(),
        .estimatedScanDuration = module.estimatedScanDuration(),
        .isAvailableInSandbox = module.isAvailableInSandbox(),
        .requiresFullDiskAccess = module.requiresFullDiskAccess(),
    };
}

// The bookkeeping of one scan, touched only on the engine's context.
struct ScanRun {
    ScanRun(const support::CancellationToken& token, support::Completion<ScanResults> done,
            std::size_t childCount)
        : callerToken(token), children(token), done(std::move(done)), remaining(childCount) {}

    void receive(CleaningModuleID id, support::Result<CleanableItems> items) {
        --remaining;
        if (!failure) {
            if (!items) {
                fail(items.error());
            } else if (callerToken.isCancelled()) {
                fail(support::Error::cancelled());
            } else {
                results[id] = std::move(items).value();
            }
        }
        endIfDone();
    }

    // A helper that could not run leaves the system folders out; the scan goes on.
    void receiveElevated(support::Result<ScanResults> found) {
        --remaining;
        if (found) {
            elevated = std::move(found).value();
        }
        endIfDone();
    }

    void endIfDone() {
        if (remaining > 0) {
            return;
        }
        if (failure) {
            done(*failure);
            return;
        }
        addElevatedItems();
        done(std::move(results));
    }

    // Where a module found an item itself, its own one stays.
    void addElevatedItems() {
        for (auto& [id, items] : elevated) {
            const auto own = results.find(id);
            if (own == results.end()) {
                continue;
            }
            std::set<std::filesystem::path> ownPaths;
            for (const auto& item : own->second) {
                ownPaths.insert(item.url);
            }
            for (auto& item : items) {
                if (!ownPaths.contains(item.url)) {
                    own->second.push_back(std::move(item));
                }
            }
        }
    }

    // Remembers the error and stops the children still running; the scan ends
    // once they have.
    void fail(support::Error error) {
        failure = std::move(error);
        children.cancel();
    }

    support::CancellationToken callerToken;
    support::CancellationSource children;
    support::Completion<ScanResults> done;
    std::size_t remaining;
    ScanResults results;
    ScanResults elevated;
    std::optional<support::Error> failure;
};

// One deletion run: forwards every module stream into the merged one, on the
// engine's context.
struct DeleteRun : std::enable_shared_from_this<DeleteRun> {
    DeleteRun(support::EventSink<DeletionEvent> sink, support::ExecutorRef context,
              SplitModuleEvents split)
        : sink(std::move(sink)), context(std::move(context)), split(std::move(split)) {}

    void start(std::map<CleaningModuleID, CleanableItems> groups,
               const std::map<CleaningModuleID, std::shared_ptr<CleaningModule>>& modulesByID,
               CleanableItems elevatedItems, const std::optional<ElevatedRoute>& route) {
        for (auto& group : groups) {
            children.push_back(modulesByID.at(group.first)->deleteItems(std::move(group.second)));
        }
        if (!elevatedItems.empty()) {
            children.push_back(route->deleteItems(std::move(elevatedItems)));
        }
        remaining = children.size();
        if (remaining == 0) {
            sink.finish();
            return;
        }
        for (auto& child : children) {
            child.listen(
                context,
                [self = shared_from_this()](DeletionEvent event) {
                    if (auto passed = self->split.pass(std::move(event))) {
                        self->sink.yield(std::move(*passed));
                    }
                },
                [self = shared_from_this()](std::optional<support::Error> error) {
                    self->childEnded(std::move(error));
                });
        }
    }

    void childEnded(std::optional<support::Error> error) {
        if (error && !firstError) {
            firstError = std::move(error);
        }
        if (--remaining == 0) {
            sink.finish(firstError);
            cancellation = {};
        }
    }

    // Nobody listening: the children are dropped, which cancels them. Asked to stop: they stop
    // before their next item and end, so the merged stream still reports what was done.
    void cancel() {
        if (sink.isAbandoned()) {
            children.clear();
        } else {
            for (auto& child : children) {
                child.requestStop();
            }
        }
        cancellation = {};
    }

    support::EventSink<DeletionEvent> sink;
    support::ExecutorRef context;
    SplitModuleEvents split;
    std::vector<support::EventStream<DeletionEvent>> children;
    std::size_t remaining = 0;
    std::optional<support::Error> firstError;
    support::CancellationRegistration cancellation;
};

using ElevatedScan = decltype(ElevatedRoute::scan);

// Scans the modules, and the system folders too when `scanSystem` is set.
void startScan(const std::vector<std::shared_ptr<CleaningModule>>& selected,
               const ElevatedScan& scanSystem, const support::ExecutorRef& context,
               const support::CancellationToken& token, support::Completion<ScanResults> done) {
    auto run =
        std::make_shared<ScanRun>(token, std::move(done), selected.size() + (scanSystem ? 1 : 0));
    if (scanSystem) {
        std::set<CleaningModuleID> ids;
        for (const auto& module : selected) {
            ids.insert(module->id());
        }
        scanSystem(std::move(ids), [run, context](support::Result<ScanResults> found) {
            context->post([run, found = std::move(found)]() mutable {
                run->receiveElevated(std::move(found));
            });
        });
    }
    for (const auto& module : selected) {
        module->scan(run->children.token(),
                     [run, id = module->id(), context](support::Result<CleanableItems> items) {
                         context->post([run, id, items = std::move(items)]() mutable {
                             run->receive(id, std::move(items));
                         });
                     });
    }
}

// The chosen modules, and the system folders too when the route takes them in.
void scanSelected(std::vector<std::shared_ptr<CleaningModule>> selected,
                  const std::optional<ElevatedRoute>& elevated, const support::ExecutorRef& context,
                  const support::CancellationToken& token, support::Completion<ScanResults> done) {
    if (!elevated) {
        startScan(selected, {}, context, token, std::move(done));
        return;
    }
    elevated->includeSystemFolders([scanSystem = elevated->scan, context,
                                    selected = std::move(selected), token,
                                    done = std::move(done)](bool include) mutable {
        context->post([scanSystem = include ? scanSystem : ElevatedScan{}, context,
                       selected = std::move(selected), token, done = std::move(done)]() mutable {
            startScan(selected, scanSystem, context, token, std::move(done));
        });
    });
}

// Applied to the merged results, so that the helper's items obey it as the modules' do.
void leaveOutKept(ScanResults& results, const KeepList& list) {
    const platform::KeptPaths kept(list);
    if (kept.empty()) {
        return;
    }
    for (auto& [id, items] : results) {
        std::erase_if(items,
                      [&](const CleanableItem& item) { return kept.touches(item.url.native()); });
    }
}

}  // namespace

CleaningEngine::CleaningEngine(std::vector<std::shared_ptr<CleaningModule>> modules,
                               support::ExecutorRef context, std::optional<ElevatedRoute> elevated,
                               support::Provider<KeepList> keptPaths)
    : modules_(std::move(modules)),
      context_(std::move(context)),
      elevated_(std::move(elevated)),
      keptPaths_(keptPaths ? std::move(keptPaths) : keepingNothing()) {
    descriptors_.reserve(modules_.size());
    std::set<CleaningModuleID> seen;
    for (const auto& module : modules_) {
        [[maybe_unused]] const bool unique = seen.insert(module->id()).second;
        assert(unique && "two modules with one id");
        descriptors_.push_back(describe(*module));
    }
}

void CleaningEngine::scan(std::optional<std::set<CleaningModuleID>> moduleIDs,
                          const support::CancellationToken& token,
                          support::Completion<ScanResults> done) const {
    std::vector<std::shared_ptr<CleaningModule>> selected;
    for (const auto& module : modules_) {
        if (!moduleIDs || moduleIDs->contains(module->id())) {
            selected.push_back(module);
        }
    }
    if (selected.empty()) {
        context_->post([done = std::move(done)] { done(ScanResults{}); });
        return;
    }
    // Asked once the items are in, so that the list holds as it stands at the scan's end.
    scanSelected(std::move(selected), elevated_, context_, token,
                 [keptPaths = keptPaths_, context = context_,
                  done = std::move(done)](support::Result<ScanResults> found) mutable {
                     if (!found) {
                         done(std::move(found));
                         return;
                     }
                     keptPaths([context, results = std::move(found).value(),
                                done = std::move(done)](const KeepList& kept) mutable {
                         context->post([results = std::move(results), kept,
                                        done = std::move(done)]() mutable {
                             leaveOutKept(results, kept);
                             done(std::move(results));
                         });
                     });
                 });
}

support::EventStream<DeletionEvent> CleaningEngine::deleteItems(CleanableItems items) const {
    std::map<CleaningModuleID, std::shared_ptr<CleaningModule>> modulesByID;
    for (const auto& module : modules_) {
        modulesByID.emplace(module->id(), module);
    }
    std::map<CleaningModuleID, CleanableItems> groups;
    CleanableItems elevatedItems;
    std::map<CleaningModuleID, std::size_t> totals;
    for (auto& item : items) {
        if (!modulesByID.contains(item.moduleID)) {
            continue;
        }
        ++totals[item.moduleID];
        const bool needsElevation =
            elevated_ &&
            std::ranges::find(item.warnings, CleanableItemWarning::requiresElevatedPrivileges) !=
                item.warnings.end();
        (needsElevation ? elevatedItems : groups[item.moduleID]).push_back(std::move(item));
    }
    std::map<CleaningModuleID, std::size_t> splitTotals;
    for (const auto& item : elevatedItems) {
        if (groups.contains(item.moduleID)) {
            splitTotals[item.moduleID] = totals[item.moduleID];
        }
    }
    return support::makeEventStream<DeletionEvent>(
        [&](const support::EventSink<DeletionEvent>& sink) {
            auto run = std::make_shared<DeleteRun>(sink, context_, SplitModuleEvents(splitTotals));
            std::weak_ptr<DeleteRun> weakRun = run;
            run->cancellation = sink.token().onCancel([weakRun, context = context_] {
                context->post([weakRun] {
                    if (auto active = weakRun.lock()) {
                        active->cancel();
                    }
                });
            });
            context_->post([run, groups = std::move(groups), modulesByID = std::move(modulesByID),
                            elevatedItems = std::move(elevatedItems), route = elevated_]() mutable {
                run->start(std::move(groups), modulesByID, std::move(elevatedItems), route);
            });
        });
}

}  // namespace quillo
