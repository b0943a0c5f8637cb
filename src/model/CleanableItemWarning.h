#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "model/LocalizableText.h"
#include "model/RawValue.h"

namespace quillo {

/// A caution a module attaches to a found item.
enum class CleanableItemWarning {
    recentlyModified,
    irreversible,
    requiresElevatedPrivileges,
    kernelPanic,
    largeFile,
    lockedByRunningProcess,
    hibernationActive,
};

template <>
struct RawValueTable<CleanableItemWarning> {
    static constexpr std::array<std::pair<CleanableItemWarning, std::string_view>, 7> cases{{
        {CleanableItemWarning::recentlyModified, "recentlyModified"},
        {CleanableItemWarning::irreversible, "irreversible"},
        {CleanableItemWarning::requiresElevatedPrivileges, "requiresElevatedPrivileges"},
        {CleanableItemWarning::kernelPanic, "kernelPanic"},
        {CleanableItemWarning::largeFile, "largeFile"},
        {CleanableItemWarning::lockedByRunningProcess, "lockedByRunningProcess"},
        {CleanableItemWarning::hibernationActive, "hibernationActive"},
    }};
};

/// The caption text of the warning's label.
LocalizableText label(CleanableItemWarning warning);

/// The system symbol drawn before the label.
std::string_view symbolName(CleanableItemWarning warning);

}  // namespace quillo
