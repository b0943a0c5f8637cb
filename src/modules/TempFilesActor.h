#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "modules/FileCleaningModule.h"
#include "platform/OpenFiles.h"

namespace quillo {

/// Reads which files running processes hold open, once per scan.
using OpenFilesReader = std::function<platform::OpenFiles()>;

/// Offers the leftovers in the temporary folders: the top-level entries in a standard scan,
/// every entry at every depth in a deep one. Files another process holds a lock on are marked
/// as in use and not preselected, and so is anything `openFiles` holds open (for a folder,
/// anything below it). With `recentWindow`, what changed within it counts as recent.
class TempFilesActor final : public FileCleaningModule {
  public:
    TempFilesActor(
        std::vector<std::filesystem::path> roots, DepthProvider depthProvider,
        std::shared_ptr<SecureDeletionService> deletionService, ModuleEnvironment environment,
        OpenFilesReader openFiles = [] { return platform::OpenFiles(); },
        std::optional<std::chrono::seconds> recentWindow = std::nullopt);

    [[nodiscard]] const std::vector<std::filesystem::path>& roots() const { return roots_; }

    /// Roots in order; within a root sorted by name (standard) or in walk order (deep). Fails
    /// only by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;

    /// As every file module, but items inside other items of the same call go first, so that
    /// a folder and its contents offered by a deep scan are each removed and accounted for.
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override;

  private:
    [[nodiscard]] support::Result<CleanableItems> collect(ScanDepth depth,
                                                          const support::CancellationToken& token);

    std::vector<std::filesystem::path> roots_;
    DepthProvider depthProvider_;
    OpenFilesReader openFiles_;
    std::optional<std::chrono::seconds> recentWindow_;
};

}  // namespace quillo
