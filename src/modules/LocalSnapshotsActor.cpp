#include "modules/LocalSnapshotsActor.h"

#include <utility>

#include "modules/ReportEventStream.h"
#include "modules/SnapshotItemPaths.h"

namespace quillo {

namespace {

constexpr std::string_view kRecordHashPrefix = "snapshot-";
constexpr std::string_view kItemPathPrefix = "/.snapshots/";

/// The snapshot an item stands for: a Linux one named by its path, else the Time Machine
/// snapshot of the item's display name.
LocalSnapshot snapshotOf(const CleanableItem& item) {
    if (auto snapshot = linuxSnapshotAt(item.url)) {
        snapshot->id = item.id;
        snapshot->date = item.lastModified;
        snapshot->label = item.displayName;
        return std::move(*snapshot);
    }
    return LocalSnapshot{item.id, item.displayName, item.lastModified, std::nullopt};
}

/// A Linux snapshot's record names it by its path, whose display name is free text.
std::string recordHash(const CleanableItem& item, const LocalSnapshot& snapshot) {
    if (snapshot.source == SnapshotSource::timeMachine) {
        return std::string(kRecordHashPrefix) + item.displayName;
    }
    return std::string(kRecordHashPrefix) + item.url.native().substr(kItemPathPrefix.size());
}

CleaningModuleDescriptor localSnapshotsProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::localSnapshots,
        .displayName = displayName(CleaningModuleID::localSnapshots),
        .explanation = LocalizableText::ownKey(
            "APFS-Schnappschüsse von Time Machine. Löschung ist endgültig. Schnappschüsse teilen "
            "Speicher — die tatsächlich freigegebene Größe variiert."),
        .symbolName = "clock.arrow.circlepath",
        .isDestructive = true,
        .estimatedScanDuration = 0.6,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = true,
    };
}

}  // namespace

/// Deletes one snapshot at a time on the module's context, each after the previous one ended.
class LocalSnapshotsActor::DeletionRun final : public std::enable_shared_from_this<DeletionRun> {
  public:
    DeletionRun(std::shared_ptr<LocalSnapshotsActor> module, CleanableItems items,
                support::CancellationToken token, support::Completion<DeletionReport> done)
        : module_(std::move(module)),
          items_(std::move(items)),
          token_(std::move(token)),
          done_(std::move(done)) {
        report_.moduleID = CleaningModuleID::localSnapshots;
        report_.startedAt = module_->now_();
    }

    void deleteNext() {
        if (next_ == items_.size()) {
            report_.completedAt = module_->now_();
            done_(std::move(report_));
            return;
        }
        if (token_.isCancelled()) {
            done_(support::Error::cancelled());
            return;
        }
        const CleanableItem& item = items_[next_];
        module_->deleter_(snapshotOf(item), [self = shared_from_this()](support::Status deleted) {
            self->module_->context()->post([self, deleted = std::move(deleted)] {
                self->record(deleted);
                self->deleteNext();
            });
        });
    }

  private:
    void record(const support::Status& deleted) {
        const CleanableItem& item = items_[next_++];
        if (deleted) {
            report_.succeeded.push_back(
                DeletedFileRecord{item.id, item.sizeInBytes, recordHash(item, snapshotOf(item))});
        } else {
            report_.failed.push_back(FailedFileRecord{item.id, deleted.error().description()});
        }
    }

    std::shared_ptr<LocalSnapshotsActor> module_;
    CleanableItems items_;
    support::CancellationToken token_;
    support::Completion<DeletionReport> done_;
    std::size_t next_ = 0;
    DeletionReport report_;
};

LocalSnapshotsActor::LocalSnapshotsActor(SnapshotLister lister, SnapshotDeleter deleter,
                                         Environment environment)
    : CleaningModule(localSnapshotsProperties(), std::move(environment.context)),
      lister_(std::move(lister)),
      deleter_(std::move(deleter)),
      now_(std::move(environment.now)) {}

void LocalSnapshotsActor::scan(support::CancellationToken token,
                               support::Completion<CleanableItems> done) {
    auto self = std::static_pointer_cast<LocalSnapshotsActor>(shared_from_this());
    context()->post([self, token = std::move(token), done = std::move(done)] {
        if (token.isCancelled()) {
            done(support::Error::cancelled());
            return;
        }
        self->lister_([self, token, done](support::Result<std::vector<LocalSnapshot>> listed) {
            self->context()->post([self, token, done, listed = std::move(listed)] {
                if (!listed) {
                    done(listed.error());
                } else if (token.isCancelled()) {
                    done(support::Error::cancelled());
                } else {
                    done(self->itemsFor(listed.value()));
                }
            });
        });
    });
}

CleanableItems LocalSnapshotsActor::itemsFor(const std::vector<LocalSnapshot>& snapshots) const {
    CleanableItems items;
    items.reserve(snapshots.size());
    for (const auto& snapshot : snapshots) {
        // The path only identifies the snapshot on screen; nothing is ever read there.
        items.push_back(CleanableItem{
            .id = snapshot.id,
            .url = snapshotItemPath(snapshot),
            .displayName = snapshot.label.empty() ? snapshot.dateToken : snapshot.label,
            // Snapshots share storage: what deleting one frees cannot be told in advance.
            .sizeInBytes = 0,
            .lastModified = snapshot.date,
            .moduleID = id(),
            .warnings = {CleanableItemWarning::irreversible},
            .isSafeToDeleteByDefault = false,
        });
    }
    return items;
}

support::EventStream<DeletionEvent> LocalSnapshotsActor::deleteItems(CleanableItems items) {
    const auto count = items.size();
    // The stream calls the operation only while it holds the module, so `this` is alive then.
    return reportEventStream(
        weak_from_this(), context(), count,
        [this, items = std::move(items)](const support::CancellationToken& token,
                                         const support::Completion<DeletionReport>& done) {
            deleteSnapshots(items, token, done);
        });
}

void LocalSnapshotsActor::deleteSnapshots(CleanableItems items, support::CancellationToken token,
                                          support::Completion<DeletionReport> done) {
    auto self = std::static_pointer_cast<LocalSnapshotsActor>(shared_from_this());
    std::make_shared<DeletionRun>(std::move(self), std::move(items), std::move(token),
                                  std::move(done))
        ->deleteNext();
}

}  // namespace quillo
