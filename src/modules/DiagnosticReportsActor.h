#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modules/FileCleaningModule.h"

namespace quillo {

/// Offers the crash and hang reports lying directly in the report folders, named after the
/// application they are about, all preselected. A deep scan adds the developer and legacy
/// crash-reporter folders.
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

/// The application a report file is about: its name without the last extension, up to the
/// first "_" (possibly empty); none when that name holds no "_".
std::optional<std::string> reportName(const std::filesystem::path& url);

}  // namespace quillo
