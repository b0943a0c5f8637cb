#include "modules/SystemCachesActor.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "modules/FilesystemEnumeration.h"

namespace quillo {

namespace {

constexpr std::int64_t kLargeCacheBytes = 500'000'000;
constexpr auto kRecentWindow = std::chrono::seconds(604'800);

CleaningModuleDescriptor systemCachesProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::systemCaches,
        .displayName = displayName(CleaningModuleID::systemCaches),
        .explanation = LocalizableText::ownKey("Zwischengespeicherte Daten von Apps und macOS. "
                                               "Caches laufender Programme werden übersprungen."),
        .symbolName = "internaldrive",
        .isDestructive = false,
        .estimatedScanDuration = 2.0,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = true,
    };
}

}  // namespace

/// One scan in progress: it moves from root to root on the module's context.
struct SystemCachesActor::Scan {
    support::CancellationToken token;
    support::Completion<CleanableItems> done;
    ScanDepth depth = ScanDepth::standard;
    std::set<std::string> running;
    std::size_t nextRoot = 0;
    CleanableItems items;
};

SystemCachesActor::SystemCachesActor(std::vector<std::filesystem::path> roots,
                                     RunningIdentifiersProvider runningBundleIDs,
                                     DepthProvider depthProvider,
                                     std::shared_ptr<SecureDeletionService> deletionService,
                                     ModuleEnvironment environment,
                                     std::vector<std::filesystem::path> excludedEntries)
    : FileCleaningModule(systemCachesProperties(), std::move(deletionService),
                         std::move(environment)),
      roots_(std::move(roots)),
      excludedEntries_(std::move(excludedEntries)),
      runningBundleIDs_(std::move(runningBundleIDs)),
      depthProvider_(std::move(depthProvider)) {}

void SystemCachesActor::scan(support::CancellationToken token,
                             support::Completion<CleanableItems> done) {
    auto self = std::static_pointer_cast<SystemCachesActor>(shared_from_this());
    auto scan = std::make_shared<Scan>();
    scan->token = std::move(token);
    scan->done = std::move(done);
    context()->post([self, scan] {
        self->depthProvider_([self, scan](ScanDepth depth) {
            self->runningBundleIDs_([self, scan, depth](std::set<std::string> running) {
                self->context()->post([self, scan, depth, running = std::move(running)]() mutable {
                    scan->depth = depth;
                    scan->running = std::move(running);
                    self->scanRoot(scan);
                });
            });
        });
    });
}

void SystemCachesActor::scanRoot(const std::shared_ptr<Scan>& scan) {
    for (; scan->nextRoot < roots_.size(); ++scan->nextRoot) {
        if (scan->token.isCancelled()) {
            scan->done(support::Error::cancelled());
            return;
        }
        auto children = sortedChildren(roots_[scan->nextRoot]);
        std::erase_if(children, [&](const std::filesystem::path& child) {
            return std::ranges::find(excludedEntries_, child) != excludedEntries_.end();
        });
        if (scan->depth == ScanDepth::standard) {
            std::erase_if(children, [&](const std::filesystem::path& child) {
                return scan->running.contains(child.filename().string());
            });
        }
        if (children.empty()) {
            continue;
        }
        auto self = std::static_pointer_cast<SystemCachesActor>(shared_from_this());
        concurrentEntries(std::move(children), *environment().pool, scan->token,
                          [self, scan](support::Result<std::vector<FilesystemEntry>> entries) {
                              self->context()->post([self, scan, entries = std::move(entries)] {
                                  if (!entries) {
                                      scan->done(entries.error());
                                      return;
                                  }
                                  self->collectEntries(scan, entries.value());
                              });
                          });
        return;
    }
    scan->done(std::move(scan->items));
}

void SystemCachesActor::collectEntries(const std::shared_ptr<Scan>& scan,
                                       const std::vector<FilesystemEntry>& entries) {
    for (const auto& entry : entries) {
        if (scan->token.isCancelled()) {
            scan->done(support::Error::cancelled());
            return;
        }
        if (entry.sizeInBytes < 1) {
            continue;
        }
        const bool belongsToRunningApp = scan->running.contains(entry.name);
        std::vector<CleanableItemWarning> warnings;
        if (entry.sizeInBytes > kLargeCacheBytes) {
            warnings.push_back(CleanableItemWarning::largeFile);
        }
        if (environment().now() - entry.lastModified < kRecentWindow) {
            warnings.push_back(CleanableItemWarning::recentlyModified);
        }
        if (belongsToRunningApp) {
            warnings.push_back(CleanableItemWarning::lockedByRunningProcess);
        }
        scan->items.push_back(
            offeredItem(entry, id(), entry.name, std::move(warnings), !belongsToRunningApp));
    }
    ++scan->nextRoot;
    scanRoot(scan);
}

}  // namespace quillo
