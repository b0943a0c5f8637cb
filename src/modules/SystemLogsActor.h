#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "modules/FileCleaningModule.h"

namespace quillo {

/// Offers every non-empty log file at any depth of the log folders. A standard scan spares
/// the logs modified within the recency threshold; kernel panic logs are offered but never
/// preselected.
class SystemLogsActor final : public FileCleaningModule {
  public:
    SystemLogsActor(std::vector<std::filesystem::path> roots, int recencyThresholdInDays,
                    DepthProvider depthProvider,
                    std::shared_ptr<SecureDeletionService> deletionService,
                    ModuleEnvironment environment);

    [[nodiscard]] const std::vector<std::filesystem::path>& roots() const { return roots_; }
    [[nodiscard]] int recencyThresholdInDays() const { return recencyThresholdInDays_; }

    /// Roots in order, each in walk order; fails only by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;

  private:
    [[nodiscard]] support::Result<CleanableItems> collect(ScanDepth depth,
                                                          const support::CancellationToken& token);

    std::vector<std::filesystem::path> roots_;
    int recencyThresholdInDays_;
    DepthProvider depthProvider_;
};

/// Whether the file name marks a log: extension "log", "gz" or "asl", or a name ending in
/// ".log" or ".tracev3", in any letter case.
bool looksLikeLog(const std::filesystem::path& url);

}  // namespace quillo
