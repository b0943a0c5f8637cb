#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/CleanableItemWarning.h"
#include "model/CleaningModuleID.h"
#include "model/TimePoint.h"
#include "model/Uuid.h"

namespace quillo {

/// One file or folder a module offers for deletion.
struct CleanableItem {
    Uuid id = Uuid::random();
    std::filesystem::path url;
    std::string displayName;
    /// What deleting the item frees; for a folder, the module's total of its contents.
    std::int64_t sizeInBytes = 0;
    TimePoint lastModified;
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;
    std::vector<CleanableItemWarning> warnings;
    bool isSafeToDeleteByDefault = false;

    friend bool operator==(const CleanableItem&, const CleanableItem&) = default;
};

}  // namespace quillo

template <>
struct std::hash<quillo::CleanableItem> {
    std::size_t operator()(const quillo::CleanableItem& item) const noexcept;
};
