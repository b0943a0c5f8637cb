// Headless entry point: runs a scan and prints what each module found. Until the real modules
// exist it runs synthetic ones and says so.
#include <future>
#include <iostream>

#include "modules/CleaningEngine.h"
#include "modules/MockCleaningModule.h"
#include "support/Formatting.h"
#include "support/ThreadPool.h"

namespace {

using namespace quillo;

constexpr std::int64_t kItemsPerModule = 12;
constexpr ByteRange kItemSizes{4'096, 900'000'000};

std::vector<std::shared_ptr<CleaningModule>> syntheticModules(
    const std::shared_ptr<support::ThreadPool>& pool) {
    auto sleeper = support::makeSteadySleeper(pool);
    std::vector<std::shared_ptr<CleaningModule>> modules;
    for (const auto id : allCleaningModuleIDs) {
        const auto name = displayName(id);
        CleaningModuleDescriptor properties{
            .id = id,
            .displayName = name,
            .explanation = {"Synthetische Einträge.", "Synthetische Einträge."},
            .symbolName = "testtube.2",
            .isDestructive = false,
            .estimatedScanDuration = 1.0,
            .isAvailableInSandbox = true,
            .requiresFullDiskAccess = false};
        modules.push_back(std::make_shared<MockCleaningModule>(
            std::move(properties), kItemsPerModule, kItemSizes,
            MockCleaningModule::Environment{.context = pool->makeStrand(), .sleeper = sleeper}));
    }
    return modules;
}

void printReport(const CleaningEngine& engine, const ScanResults& results) {
    std::int64_t grandTotal = 0;
    for (const auto& descriptor : engine.descriptors()) {
        const auto found = results.find(descriptor.id);
        if (found == results.end()) {
            continue;
        }
        std::int64_t total = 0;
        std::size_t safe = 0;
        for (const auto& item : found->second) {
            total += item.sizeInBytes;
            safe += item.isSafeToDeleteByDefault ? 1 : 0;
        }
        grandTotal += total;
        std::cout << descriptor.displayName.defaultValue << ": " << found->second.size()
                  << " Objekte, " << support::formatByteCount(total) << ", " << safe
                  << " sicher löschbar\n";
    }
    std::cout << "Gesamt: " << support::formatByteCount(grandTotal) << "\n";
}

}  // namespace

int main() {
    auto pool = support::ThreadPool::create();
    CleaningEngine engine(syntheticModules(pool), pool->makeStrand());

    std::cout << "Quillo – Scan-Bericht (Demonstration mit synthetischen Modulen; "
                 "es wird nichts auf der Festplatte gelesen oder gelöscht)\n";
    std::promise<support::Result<ScanResults>> outcome;
    engine.scan(std::nullopt, {}, [&](support::Result<ScanResults> results) {
        outcome.set_value(std::move(results));
    });
    const auto results = outcome.get_future().get();
    if (!results) {
        std::cerr << "Scan fehlgeschlagen: " << results.error().description() << "\n";
        return 1;
    }
    printReport(engine, results.value());
    return 0;
}
