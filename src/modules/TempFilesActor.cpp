#include "modules/TempFilesActor.h"

#include <utility>

#include "modules/FilesystemEnumeration.h"
#include "modules/NestedItemOrder.h"
#include "platform/AdvisoryLock.h"

namespace quillo {

namespace {

constexpr std::int64_t kLargeTempBytes = 200'000'000;

CleaningModuleDescriptor tempFilesProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::tempFiles,
        .displayName = displayName(CleaningModuleID::tempFiles),
        .explanation = LocalizableText::ownKey("Übriggebliebene Arbeitsdateien aus /tmp und "
                                               "ähnlichen Pfaden. Dateien in Benutzung werden "
                                               "markiert."),
        .symbolName = "tray.full",
        .isDestructive = false,
        .estimatedScanDuration = 1.0,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = false,
    };
}

}  // namespace

TempFilesActor::TempFilesActor(std::vector<std::filesystem::path> roots,
                               DepthProvider depthProvider,
                               std::shared_ptr<SecureDeletionService> deletionService,
                               ModuleEnvironment environment, OpenFilesReader openFiles,
                               std::optional<std::chrono::seconds> recentWindow)
    : FileCleaningModule(tempFilesProperties(), std::move(deletionService), std::move(environment)),
      roots_(std::move(roots)),
      depthProvider_(std::move(depthProvider)),
      openFiles_(std::move(openFiles)),
      recentWindow_(recentWindow) {}

void TempFilesActor::scan(support::CancellationToken token,
                          support::Completion<CleanableItems> done) {
    scanAtDepth(depthProvider_, token, std::move(done),
                [this, token](ScanDepth depth) { return collect(depth, token); });
}

support::EventStream<DeletionEvent> TempFilesActor::deleteItems(CleanableItems items) {
    return FileCleaningModule::deleteItems(innermostFirst(std::move(items)));
}

support::Result<CleanableItems> TempFilesActor::collect(ScanDepth depth,
                                                        const support::CancellationToken& token) {
    const auto openFiles = openFiles_();
    const auto now = environment().now();
    CleanableItems items;
    for (const auto& root : roots_) {
        if (token.isCancelled()) {
            return support::Error::cancelled();
        }
        const auto candidates =
            depth == ScanDepth::deep ? recursiveContents(root, token) : sortedChildren(root);
        for (const auto& url : candidates) {
            if (token.isCancelled()) {
                return support::Error::cancelled();
            }
            const auto entry = makeEntry(url, token);
            if (!entry || entry->sizeInBytes <= 0) {
                continue;
            }
            const bool inUse = openFiles.holdsAtOrBelow(url) ||
                               (!entry->isDirectory && platform::isLockedByAnotherHolder(url));
            std::vector<CleanableItemWarning> warnings;
            if (inUse) {
                warnings.push_back(CleanableItemWarning::lockedByRunningProcess);
            }
            if (entry->sizeInBytes > kLargeTempBytes) {
                warnings.push_back(CleanableItemWarning::largeFile);
            }
            if (recentWindow_ && now - entry->lastModified < *recentWindow_) {
                warnings.push_back(CleanableItemWarning::recentlyModified);
            }
            items.push_back(offeredItem(*entry, id(), entry->name, std::move(warnings), !inUse));
        }
    }
    return items;
}

}  // namespace quillo
