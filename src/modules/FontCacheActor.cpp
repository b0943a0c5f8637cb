#include "modules/FontCacheActor.h"

#include <utility>

#include "deletion/SecureDeletionService.h"
#include "modules/FilesystemEnumeration.h"
#include "modules/ReportEventStream.h"

namespace quillo {

namespace {

CleaningModuleDescriptor fontCacheProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::fontCache,
        .displayName = displayName(CleaningModuleID::fontCache),
        .explanation = LocalizableText::ownKey(
            "Beschädigte oder veraltete Schriftarten-Caches. Werden nach dem "
            "Löschen automatisch "
            "neu aufgebaut."),
        .symbolName = "textformat",
        .isDestructive = false,
        .estimatedScanDuration = 0.4,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = true,
    };
}

}  // namespace

CleanableItems fontCacheItems(const std::vector<FilesystemEntry>& entries) {
    CleanableItems items;
    for (const auto& entry : entries) {
        if (entry.sizeInBytes < 1) {
            continue;
        }
        items.push_back(offeredItem(entry, CleaningModuleID::fontCache, entry.name, {}, true));
    }
    return items;
}

FontCacheActor::FontCacheActor(std::vector<std::filesystem::path> roots,
                               PostDeleteHook postDeleteHook,
                               std::shared_ptr<SecureDeletionService> deletionService,
                               ModuleEnvironment environment)
    : FileCleaningModule(fontCacheProperties(), std::move(deletionService), std::move(environment)),
      roots_(std::move(roots)),
      postDeleteHook_(std::move(postDeleteHook)) {}

void FontCacheActor::scan(support::CancellationToken token,
                          support::Completion<CleanableItems> done) {
    auto self = std::static_pointer_cast<FontCacheActor>(shared_from_this());
    context()->post([self, token = std::move(token), done = std::move(done)] {
        if (token.isCancelled()) {
            done(support::Error::cancelled());
            return;
        }
        concurrentEntries(
            self->roots_, *self->environment().pool, token,
            [self, token, done](support::Result<std::vector<FilesystemEntry>> entries) {
                self->context()->post([token, done, entries = std::move(entries)] {
                    if (token.isCancelled()) {
                        done(support::Error::cancelled());
                    } else if (entries) {
                        done(fontCacheItems(entries.value()));
                    } else {
                        done(entries.error());
                    }
                });
            });
    });
}

support::EventStream<DeletionEvent> FontCacheActor::deleteItems(CleanableItems items) {
    const auto count = items.size();
    // The stream calls the operation only while it holds the module, so `this` is
    // alive then.
    return reportEventStream(
        weak_from_this(), context(), count,
        [this, items = std::move(items)](const support::CancellationToken& token,
                                         const support::Completion<DeletionReport>& done) {
            deleteThenReset(items, token, done);
        });
}

/// The service's stream for one deletion, read on the module's context until
/// its report.
struct FontCacheActor::PendingDeletion {
    explicit PendingDeletion(support::EventStream<DeletionEvent> events)
        : stream(std::move(events)) {}
    support::EventStream<DeletionEvent> stream;
    std::optional<DeletionReport> report;
    support::CancellationRegistration cancellation;
};

void FontCacheActor::deleteThenReset(CleanableItems items, const support::CancellationToken& token,
                                     support::Completion<DeletionReport> done) {
    auto self = std::static_pointer_cast<FontCacheActor>(shared_from_this());
    auto pending = std::make_shared<PendingDeletion>(
        deletionService()->deletionEvents(std::move(items), id()));
    pending->stream.listen(
        context(),
        [pending](DeletionEvent event) {
            if (auto* finished = std::get_if<DeletionFinished>(&event)) {
                pending->report = std::move(finished->report);
            }
        },
        [self, pending, done = std::move(done)](std::optional<support::Error> error) {
            if (error) {
                done(*error);
                return;
            }
            auto report =
                pending->report.value_or(DeletionReport{self->id(),
                                                        {},
                                                        {},
                                                        std::chrono::system_clock::now(),
                                                        std::chrono::system_clock::now()});
            self->resetAfter(std::move(report), done);
        });
    // Giving up the service's stream cancels its run before the next item.
    pending->cancellation = token.onCancel([self, weak = std::weak_ptr(pending)] {
        self->context()->post([weak] {
            if (auto stillPending = weak.lock()) {
                stillPending->stream.cancel();
            }
        });
    });
}

void FontCacheActor::resetAfter(DeletionReport report,
                                const support::Completion<DeletionReport>& done) {
    if (report.succeeded.empty()) {
        done(std::move(report));
        return;
    }
    // The caches are gone either way; a font service that cannot be told only
    // rebuilds its databases later, so a failing hook changes nothing in the
    // report.
    auto self = std::static_pointer_cast<FontCacheActor>(shared_from_this());
    postDeleteHook_([self, done, report = std::move(report)](const support::Status&) {
        self->context()->post([done, report] { done(report); });
    });
}

}  // namespace quillo
