#pragma once

#include <string>

#include "model/CleaningModuleID.h"
#include "model/LocalizableText.h"

namespace quillo {

/// How the user interface presents a module; built from the module's own properties.
struct CleaningModuleDescriptor {
    CleaningModuleID id = CleaningModuleID::systemCaches;
    LocalizableText displayName;
    LocalizableText explanation;
    std::string symbolName;
    /// The module's statement that its deletions destroy data for good.
    bool isDestructive = false;
    double estimatedScanDuration = 0;
    bool isAvailableInSandbox = false;
    bool requiresFullDiskAccess = false;
};

}  // namespace quillo
