#include "model/SafeSelection.h"

#include <algorithm>

namespace quillo {

bool belongsToSafeSelection(const CleanableItem& item) {
    const auto carries = [&item](CleanableItemWarning warning) {
        return std::ranges::find(item.warnings, warning) != item.warnings.end();
    };
    return item.isSafeToDeleteByDefault && !carries(CleanableItemWarning::recentlyModified) &&
           !carries(CleanableItemWarning::requiresElevatedPrivileges);
}

}  // namespace quillo
