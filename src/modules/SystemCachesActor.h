#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "modules/FileCleaningModule.h"

namespace quillo {

/// Answers with the identifiers of the running applications, on any executor.
using RunningIdentifiersProvider = support::Provider<std::set<std::string>>;

/// Offers every top-level entry of the cache folders, sized whole. A standard scan passes over
/// the caches of running applications (a folder named exactly like one's identifier); a deep
/// scan offers them marked as in use and never preselected. The excluded entries are never
/// offered: what another module owns, or what is no cache despite its place.
class SystemCachesActor final : public FileCleaningModule {
  public:
    SystemCachesActor(std::vector<std::filesystem::path> roots,
                      RunningIdentifiersProvider runningBundleIDs, DepthProvider depthProvider,
                      std::shared_ptr<SecureDeletionService> deletionService,
                      ModuleEnvironment environment,
                      std::vector<std::filesystem::path> excludedEntries = {});

    [[nodiscard]] const std::vector<std::filesystem::path>& roots() const { return roots_; }

    /// Roots in order, each sorted by name; fails only by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;

  private:
    struct Scan;
    void scanRoot(const std::shared_ptr<Scan>& scan);
    void collectEntries(const std::shared_ptr<Scan>& scan,
                        const std::vector<FilesystemEntry>& entries);

    std::vector<std::filesystem::path> roots_;
    std::vector<std::filesystem::path> excludedEntries_;
    RunningIdentifiersProvider runningBundleIDs_;
    DepthProvider depthProvider_;
};

}  // namespace quillo
