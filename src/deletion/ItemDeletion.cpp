#include "deletion/ItemDeletion.h"

#include "model/DeletionError.h"

namespace quillo {

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
                           const platform::DeletionScope& scope,
                           const DeletionEnvironment& environment) {
    const auto opened = platform::OpenedItem::open(item.url, scope);
    if (!opened) {
        return opened.error();
    }
    const DeletionFileOperations& files = environment.files;
    for (int pass = 0; pass < passCount; ++pass) {
        if (auto overwritten = files.overwrite(opened.value(), environment.randomFill);
            !overwritten) {
            return overwritten.error();
        }
    }
    if (auto removed = files.remove(opened.value()); !removed) {
        return removed;
    }
    if (!files.isGone(opened.value())) {
        return DeletionError::verificationFailed();
    }
    return support::Unit{};
}

}  // namespace quillo
