#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "modules/FileCleaningModule.h"
#include "modules/JournalVacuum.h"

namespace quillo {

/// The days a standard scan spares logs for (0: none), asked afresh for every scan and every
/// vacuum of the journals.
using LogRetentionProvider = support::Provider<int>;

inline constexpr int kDefaultLogRetentionDays = 7;

/// Always answers `days`.
LogRetentionProvider fixedLogRetention(int days);

/// The systemd journal as the logs module sees it: its folders and how archived files go.
struct JournalService {
    std::vector<std::filesystem::path> folders{};
    JournalVacuum vacuum{};
};

/// Offers every non-empty log file at any depth of the log folders, and the archived journals
/// as one item. A standard scan spares the logs modified within the retention; kernel panic
/// logs are offered but never preselected. The journals' item is vacuumed by journalctl with
/// the retention, whatever the depth; their files are never unlinked here.
class SystemLogsActor final : public FileCleaningModule {
  public:
    SystemLogsActor(std::vector<std::filesystem::path> roots, LogRetentionProvider retention,
                    DepthProvider depthProvider,
                    std::shared_ptr<SecureDeletionService> deletionService,
                    ModuleEnvironment environment, JournalService journal = {});

    [[nodiscard]] const std::vector<std::filesystem::path>& roots() const { return roots_; }

    /// Roots in order, each in walk order, then the journals' item; fails only by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;
    /// The deletion service's stream; with the journals' item among the items, one stream that
    /// vacuums them first.
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items) override;

  private:
    [[nodiscard]] support::Result<CleanableItems> collect(ScanDepth depth, int retentionDays,
                                                          const support::CancellationToken& token);
    [[nodiscard]] bool isInJournal(const std::filesystem::path& url) const;

    std::vector<std::filesystem::path> roots_;
    LogRetentionProvider retention_;
    DepthProvider depthProvider_;
    JournalService journal_;
};

/// Whether the file name marks a log: extension "log", "gz" or "asl", or a name ending in
/// ".log" or ".tracev3", in any letter case; or a rotated log ("syslog.1", "kern.log.old").
bool looksLikeLog(const std::filesystem::path& url);

}  // namespace quillo
