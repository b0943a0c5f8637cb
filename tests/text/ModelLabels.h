#pragma once

#include <vector>

#include "model/CleanableItemWarning.h"
#include "model/DeletionMode.h"
#include "model/LocalizableText.h"
#include "system/FullDiskAccessProbe.h"

namespace quillo::testing {

/// The labels the model's values carry: every warning, deletion mode and access status.
inline std::vector<LocalizableText> modelLabels() {
    std::vector<LocalizableText> labels;
    for (const auto warning :
         {CleanableItemWarning::recentlyModified, CleanableItemWarning::irreversible,
          CleanableItemWarning::requiresElevatedPrivileges, CleanableItemWarning::kernelPanic,
          CleanableItemWarning::largeFile, CleanableItemWarning::lockedByRunningProcess,
          CleanableItemWarning::hibernationActive}) {
        labels.push_back(label(warning));
    }
    for (const auto mode : allDeletionModes) {
        labels.push_back(label(mode));
    }
    using FullDiskAccessProbe::Status;
    for (const auto status : {Status::granted, Status::denied, Status::undetermined}) {
        labels.push_back(FullDiskAccessProbe::label(status));
    }
    return labels;
}

}  // namespace quillo::testing
