#pragma once

#include <memory>

#include "system/AppSettings.h"
#include "system/DefaultsStore.h"

namespace quillo::bench {

/// Settings in memory that reach nothing of the machine: full disk access granted, no receipts
/// file, store failures ignored.
inline std::unique_ptr<AppSettings> detachedSettings() {
    return std::make_unique<AppSettings>(
        std::make_unique<InMemoryDefaultsStore>(),
        SettingsEnvironment{
            .checkFullDiskAccess = [] { return FullDiskAccessProbe::Status::granted; },
            .reportStoreFailure = [](const support::Error&) {}});
}

}  // namespace quillo::bench
