#include "modules/FileCleaningModule.h"

#include <algorithm>
#include <utility>

#include "deletion/SecureDeletionService.h"
#include "platform/Removability.h"

namespace quillo {

FileCleaningModule::FileCleaningModule(CleaningModuleDescriptor properties,
                                       std::shared_ptr<SecureDeletionService> deletionService,
                                       ModuleEnvironment environment)
    : CleaningModule(std::move(properties), environment.context),
      deletionService_(std::move(deletionService)),
      environment_(std::move(environment)) {}

support::EventStream<DeletionEvent> FileCleaningModule::deleteItems(CleanableItems items) {
    return deletionService_->deletionEvents(std::move(items), id());
}

void FileCleaningModule::scanAtDepth(
    const DepthProvider& depth, support::CancellationToken token,
    support::Completion<CleanableItems> done,
    std::function<support::Result<CleanableItems>(ScanDepth)> collect) {
    context()->post([self = shared_from_this(), depth, token = std::move(token),
                     done = std::move(done), collect = std::move(collect)]() mutable {
        if (token.isCancelled()) {
            done(support::Error::cancelled());
            return;
        }
        depth([self, token, done = std::move(done),
               collect = std::move(collect)](ScanDepth answer) mutable {
            auto& module = static_cast<FileCleaningModule&>(*self);
            module.context()->post(
                [self, token, answer, done = std::move(done), collect = std::move(collect)] {
                    if (token.isCancelled()) {
                        done(support::Error::cancelled());
                        return;
                    }
                    done(collect(answer));
                });
        });
    });
}

CleanableItem offeredItem(const FilesystemEntry& entry, CleaningModuleID moduleID,
                          std::string displayName, std::vector<CleanableItemWarning> warnings,
                          bool isSafeToDeleteByDefault) {
    // Decided here, once for every module, so that no selection of safe items can hold what
    // this process is bound to fail on.
    if (platform::removalNeedsMoreRights(entry.url)) {
        isSafeToDeleteByDefault = false;
        if (std::ranges::find(warnings, CleanableItemWarning::requiresElevatedPrivileges) ==
            warnings.end()) {
            warnings.push_back(CleanableItemWarning::requiresElevatedPrivileges);
        }
    }
    return CleanableItem{
        .id = Uuid::random(),
        .url = entry.url,
        .displayName = std::move(displayName),
        .sizeInBytes = entry.sizeInBytes,
        .lastModified = entry.lastModified,
        .moduleID = moduleID,
        .warnings = std::move(warnings),
        .isSafeToDeleteByDefault = isSafeToDeleteByDefault,
    };
}

}  // namespace quillo
