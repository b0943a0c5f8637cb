#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "modules/FileCleaningModule.h"

namespace quillo {

/// The clean-up run after font caches were removed; its completion may come
/// from any thread.
using PostDeleteHook = std::function<void(support::Completion<support::Unit>)>;

/// Offers the font-cache folders, each whole as one item; the system rebuilds
/// them. After a deletion that removed at least one of them, the post-delete
/// hook tells the font service.
class FontCacheActor final : public FileCleaningModule {
  public:
    FontCacheActor(std::vector<std::filesystem::path> roots, PostDeleteHook postDeleteHook,
                   std::shared_ptr<SecureDeletionService> deletionService,
                   ModuleEnvironment environment);

    [[nodiscard]] const std::vector<std::filesystem::path>& roots() const { return roots_; }

    /// One item per root that holds any bytes, in root order; fails only by
    /// cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;
    /// `started`, then `finished` with the deletion service's report; the
    /// service's per-item events are not passed on. A failing hook is ignored.
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override;

  private:
    struct PendingDeletion;

    void resetAfter(DeletionReport report, const support::Completion<DeletionReport>& done);
    void deleteThenReset(CleanableItems items, const support::CancellationToken& token,
                         support::Completion<DeletionReport> done);

    std::vector<std::filesystem::path> roots_;
    PostDeleteHook postDeleteHook_;
};

/// The items for the sized roots: one per entry of at least one byte, in the
/// given order.
CleanableItems fontCacheItems(const std::vector<FilesystemEntry>& entries);

}  // namespace quillo
