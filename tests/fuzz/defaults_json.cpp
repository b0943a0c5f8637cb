// defaults.json as the defaults store decodes and rewrites it, and every setting read from what
// it holds.
#include <map>
#include <memory>
#include <string>

#include "FuzzInput.h"
#include "system/AppSettings.h"
#include "system/FileDefaultsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillo;
    auto document = decodeDefaultsDocument(fuzz::bytesOf(data, size));
    if (!document) {
        return 0;
    }
    // As the store rewrites it after a change, unknown keys included.
    (void)document->dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    std::map<std::string, nlohmann::json, std::less<>> values;
    for (auto entry = document->begin(); entry != document->end(); ++entry) {
        values.emplace(entry.key(), std::move(entry.value()));
    }
    SettingsEnvironment environment{
        .checkFullDiskAccess = [] { return FullDiskAccessProbe::Status::granted; },
        .reportStoreFailure = [](const support::Error&) {},
    };
    const AppSettings settings(std::make_unique<InMemoryDefaultsStore>(std::move(values)),
                               std::move(environment));
    (void)settings.deletionMode();
    (void)settings.logRetentionDays();
    (void)settings.disabledModuleIDs();
    (void)settings.enabledModuleIDs();
    (void)settings.onboardingCompleted();
    (void)settings.dailyReminderEnabled();
    (void)settings.deepScanEnabled();
    return 0;
}
