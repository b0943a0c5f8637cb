#include "deletion/ItemDeletion.h"

#include "model/DeletionError.h"

namespace quillo {

namespace {

using platform::PathKind;

// One pass over the item. Only a failure on a single-file item counts: the files of a folder
// item go with the folder whether or not their pass succeeded.
support::Status overwriteOnce(const std::filesystem::path& item,
                              const DeletionEnvironment& environment) {
    const DeletionFileOperations& files = environment.files;
    switch (files.pathKind(item)) {
        case PathKind::missing:
            return support::Unit{};
        case PathKind::directory:
            for (const auto& file : files.regularFilesBelow(item)) {
                (void)files.overwriteFileBelow(item, file, environment.randomFill);
            }
            return support::Unit{};
        case PathKind::regularFile:
        case PathKind::other: {
            const auto outcome = files.overwriteFile(item, environment.randomFill);
            if (!outcome) {
                return outcome.error();
            }
            return support::Unit{};
        }
    }
    return support::Unit{};
}

}  // namespace

int overwritePassCount(DeletionMode mode) {
    switch (mode) {
        case DeletionMode::standard:
            return 0;
        case DeletionMode::secureOverwrite:
            return 1;
        case DeletionMode::secureOverwriteThreePass:
            return 3;
    }
    return 0;
}

support::Status deleteItem(const CleanableItem& item, int passCount,
                           const DeletionEnvironment& environment) {
    if (auto reason = platform::refusalReason(item.url, environment.homeFolder)) {
        return support::Error::make(RefusedItemError(std::move(*reason)));
    }
    for (int pass = 0; pass < passCount; ++pass) {
        if (auto overwritten = overwriteOnce(item.url, environment); !overwritten) {
            return overwritten;
        }
    }
    if (auto removed = environment.files.removePermanently(item.url); !removed) {
        return removed;
    }
    if (environment.files.pathExists(item.url)) {
        return DeletionError::verificationFailed();
    }
    return support::Unit{};
}

}  // namespace quillo
