#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modules/FileCleaningModule.h"
#include "modules/ReportFileNames.h"

namespace quillo {

/// Offers the crash and hang reports and the systemd coredumps lying directly in the report
/// folders, named after the application they are about, all preselected. A deep scan adds the
/// developer and legacy crash-reporter folders (on Linux the coredump folder).
class DiagnosticReportsActor final : public FileCleaningModule {
  public:
    DiagnosticReportsActor(std::vector<std::filesystem::path> roots,
                           std::vector<std::filesystem::path> deepRoots,
                           DepthProvider depthProvider,
                           std::shared_ptr<SecureDeletionService> deletionService,
                           ModuleEnvironment environment);

    [[nodiscard]] const std::vector<std::filesystem::path>& roots() const { return roots_; }
    [[nodiscard]] const std::vector<std::filesystem::path>& deepRoots() const { return deepRoots_; }

    /// Folders in order, each sorted by name; fails only by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;

  private:
    [[nodiscard]] support::Result<CleanableItems> collect(ScanDepth depth,
                                                          const support::CancellationToken& token);

    std::vector<std::filesystem::path> roots_;
    std::vector<std::filesystem::path> deepRoots_;
    DepthProvider depthProvider_;
};

}  // namespace quillo
