#include "modules/CleaningEngine.h"

#include <cassert>

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
        if (remaining == 0) {
            if (failure) {
                done(*failure);
            } else {
                done(std::move(results));
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
    std::optional<support::Error> failure;
};

// One deletion run: forwards every module stream into the merged one, on the
// engine's context.
struct DeleteRun : std::enable_shared_from_this<DeleteRun> {
    DeleteRun(support::EventSink<DeletionEvent> sink, support::ExecutorRef context)
        : sink(std::move(sink)), context(std::move(context)) {}

    void start(std::map<CleaningModuleID, CleanableItems> groups,
               const std::map<CleaningModuleID, std::shared_ptr<CleaningModule>>& modulesByID) {
        for (auto& group : groups) {
            const auto module = modulesByID.find(group.first);
            if (module == modulesByID.end()) {
                continue;
            }
            children.push_back(module->second->deleteItems(std::move(group.second)));
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
                    self->sink.yield(std::move(event));
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

    void cancel() {
        children.clear();
        cancellation = {};
    }

    support::EventSink<DeletionEvent> sink;
    support::ExecutorRef context;
    std::vector<support::EventStream<DeletionEvent>> children;
    std::size_t remaining = 0;
    std::optional<support::Error> firstError;
    support::CancellationRegistration cancellation;
};

}  // namespace

CleaningEngine::CleaningEngine(std::vector<std::shared_ptr<CleaningModule>> modules,
                               support::ExecutorRef context)
    : modules_(std::move(modules)), context_(std::move(context)) {
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
    auto run = std::make_shared<ScanRun>(token, std::move(done), selected.size());
    for (const auto& module : selected) {
        module->scan(run->children.token(), [run, id = module->id(), context = context_](
                                                support::Result<CleanableItems> items) {
            context->post([run, id, items = std::move(items)]() mutable {
                run->receive(id, std::move(items));
            });
        });
    }
}

support::EventStream<DeletionEvent> CleaningEngine::deleteItems(CleanableItems items) const {
    std::map<CleaningModuleID, CleanableItems> groups;
    for (auto& item : items) {
        groups[item.moduleID].push_back(std::move(item));
    }
    std::map<CleaningModuleID, std::shared_ptr<CleaningModule>> modulesByID;
    for (const auto& module : modules_) {
        modulesByID.emplace(module->id(), module);
    }
    return support::makeEventStream<DeletionEvent>(
        [&](const support::EventSink<DeletionEvent>& sink) {
            auto run = std::make_shared<DeleteRun>(sink, context_);
            std::weak_ptr<DeleteRun> weakRun = run;
            run->cancellation = sink.token().onCancel([weakRun, context = context_] {
                context->post([weakRun] {
                    if (auto active = weakRun.lock()) {
                        active->cancel();
                    }
                });
            });
            context_->post(
                [run, groups = std::move(groups), modulesByID = std::move(modulesByID)]() mutable {
                    run->start(std::move(groups), modulesByID);
                });
        });
}

}  // namespace quillo
