#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "model/LocalizableText.h"
#include "model/RawValue.h"

namespace quillo {

/// The eight cleaning modules, in the order in which all of them are listed.
enum class CleaningModuleID {
    systemCaches,
    systemLogs,
    tempFiles,
    sleepImage,
    diagnosticReports,
    applicationResidual,
    localSnapshots,
    fontCache,
};

inline constexpr std::array allCleaningModuleIDs{
    CleaningModuleID::systemCaches,      CleaningModuleID::systemLogs,
    CleaningModuleID::tempFiles,         CleaningModuleID::sleepImage,
    CleaningModuleID::diagnosticReports, CleaningModuleID::applicationResidual,
    CleaningModuleID::localSnapshots,    CleaningModuleID::fontCache,
};

template <>
struct RawValueTable<CleaningModuleID> {
    static constexpr std::array<std::pair<CleaningModuleID, std::string_view>, 8> cases{{
        {CleaningModuleID::systemCaches, "systemCaches"},
        {CleaningModuleID::systemLogs, "systemLogs"},
        {CleaningModuleID::tempFiles, "tempFiles"},
        {CleaningModuleID::sleepImage, "sleepImage"},
        {CleaningModuleID::diagnosticReports, "diagnosticReports"},
        {CleaningModuleID::applicationResidual, "applicationResidual"},
        {CleaningModuleID::localSnapshots, "localSnapshots"},
        {CleaningModuleID::fontCache, "fontCache"},
    }};
};

/// The identifier's fixed name (its German text is its own catalogue key), shown in the settings'
/// module list and the deletion confirmation.
LocalizableText displayName(CleaningModuleID id);

}  // namespace quillo
