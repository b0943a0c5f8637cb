#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "deletion/SecureDeletionServiceHarness.h"
#include "model/ScanDepth.h"
#include "model/TimePoint.h"
#include "modules/CleaningModule.h"
#include "modules/EngineTestSupport.h"
#include "modules/FileCleaningModule.h"
#include "support/ManualExecutor.h"

// Drives file cleaning modules from a test: manual executors stand in for the module's context,
// the sizing pool and the main thread that answers the depth question.
namespace quillo::testing {

/// A fixed moment for `ModuleEnvironment::now`, whole seconds so that file times set with
/// `setAge` can sit exactly on a boundary.
inline constexpr std::int64_t kFixedNowSeconds = 1'750'000'000;

/// `seconds` since the epoch as a time point.
TimePoint secondsSinceEpoch(std::int64_t seconds);

/// Sets the modification time of `path` (a link itself, not its target) to `secondsBeforeNow`
/// before `kFixedNowSeconds`.
void setAge(const std::filesystem::path& path, std::int64_t secondsBeforeNow);

/// A file whose `bytes` are allocated on disk without being written, parent folders made as
/// needed. Its allocated size is `bytes` rounded up to whole blocks, plus whatever the file
/// system adds to map them: check it with `allocatedSize`.
void makeAllocatedFile(const std::filesystem::path& path, std::int64_t bytes);

/// An allocated file whose allocated size comes as close to `limit` as whole blocks allow without
/// exceeding it, however many blocks the file system adds to map a large file. Returns that size.
std::int64_t makeFileAllocatingAtMost(const std::filesystem::path& path, std::int64_t limit);

class FileModuleFixture {
  public:
    FileModuleFixture() = default;
    FileModuleFixture(const FileModuleFixture&) = delete;
    FileModuleFixture& operator=(const FileModuleFixture&) = delete;

    /// Context on `executor`, pool on `pool`, the clock stopped at `now`.
    [[nodiscard]] ModuleEnvironment environment() const;

    /// Answers with `depth` as it is when asked, later, on `executor`. Counts the questions.
    [[nodiscard]] DepthProvider depthProvider();

    /// Runs `executor` and `pool` until both are idle.
    void runUntilIdle();

    /// Scans and runs until idle; nothing if the scan never finished.
    std::optional<support::Result<CleanableItems>> scanToEnd(
        CleaningModule& module, const support::CancellationToken& token = {});

    /// The items of a scan to the end; fails the test and gives none if the scan did not succeed.
    CleanableItems scannedItems(CleaningModule& module);

    std::shared_ptr<support::ManualExecutor> executor = std::make_shared<support::ManualExecutor>();
    /// Where folders are sized; `executor` unless a test wants to step the sizing on its own.
    std::shared_ptr<support::ManualExecutor> pool = executor;
    TimePoint now = secondsSinceEpoch(kFixedNowSeconds);
    ScanDepth depth = ScanDepth::standard;
    int depthQuestions = 0;
};

/// The display names of `items`, in order.
std::vector<std::string> displayNamesOf(const CleanableItems& items);

/// The urls of `items`, in order.
std::vector<std::filesystem::path> urlsOf(const CleanableItems& items);

/// The item offered as `name`; fails the test and gives nothing if there is none.
const CleanableItem* itemNamed(const CleanableItems& items, const std::string& name);

/// Deletes `items` through `module` (built on `harness.service()`) and records the stream until
/// the run is over.
StreamRecording deleteThroughModule(CleaningModule& module, CleanableItems items,
                                    SecureDeletionServiceHarness& harness);

/// Checks that `recording` is a run of `moduleID` in which every one of `items` was removed, in
/// order, with a receipt in the store, and that nothing is left at their paths.
void expectEveryItemRemoved(const StreamRecording& recording, CleaningModuleID moduleID,
                            const CleanableItems& items, SecureDeletionServiceHarness& harness);

}  // namespace quillo::testing
