#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "modules/CleaningModule.h"
#include "modules/LocalSnapshot.h"

namespace quillo {

/// Offers the local backup snapshots of the start-up volume and deletes them through the
/// snapshot tool. Snapshots are not files: nothing is overwritten and no receipt is written.
class LocalSnapshotsActor final : public CleaningModule {
  public:
    struct Environment {
        support::ExecutorRef context;
        std::function<TimePoint()> now = [] { return std::chrono::system_clock::now(); };
    };

    LocalSnapshotsActor(SnapshotLister lister, SnapshotDeleter deleter, Environment environment);

    /// Fails only with the lister's error or by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;
    /// `started`, then `finished` with the report of `deleteSnapshots`.
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override;

    /// Deletes the snapshots one after another; one that cannot be deleted becomes a failed
    /// record and the others are still tried. Fails only by cancellation, checked before each
    /// snapshot. Call on the module's context.
    void deleteSnapshots(CleanableItems items, support::CancellationToken token,
                         support::Completion<DeletionReport> done);

  private:
    class DeletionRun;

    CleanableItems itemsFor(const std::vector<LocalSnapshot>& snapshots) const;

    SnapshotLister lister_;
    SnapshotDeleter deleter_;
    std::function<TimePoint()> now_;
};

}  // namespace quillo
