// Scan view model benchmark: ITEMS (default 1,000,000) items across the modules. Times rebuilding
// the derived fields (applyResults, or applyPrepared for results prepared off the main thread),
// filtering every module by a search text, and the selection
// commands and lookups, each the median of several runs, against the budget of 100 ms.
// Usage: quillo-viewmodel-bench [ITEMS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DetachedSettings.h"
#include "MedianTime.h"
#include "modules/CleaningEngine.h"
#include "support/ManualExecutor.h"
#include "support/ThreadPool.h"
#include "system/AppSettings.h"
#include "viewmodels/ScanViewModel.h"

namespace {

using namespace quillo;

constexpr int kRuns = 7;
constexpr double kBudgetMilliseconds = 100.0;

ScanResults syntheticResults(int count) {
    ScanResults results;
    const auto now = std::chrono::system_clock::now();
    for (int index = 0; index < count; ++index) {
        const auto module =
            allCleaningModuleIDs[static_cast<std::size_t>(index) % allCleaningModuleIDs.size()];
        const auto folder = "/var/cache/App-" + std::to_string(index % 97) + "/Folder-" +
                            std::to_string(index / 100);
        results[module].push_back(CleanableItem{
            .id = Uuid::random(),
            .url = folder + "/file-" + std::to_string(index) + ".bin",
            .displayName = "Datei-" + std::to_string(index),
            .sizeInBytes = 4096 + index,
            .lastModified = now - std::chrono::hours(index % 400),
            .moduleID = module,
            .warnings = {},
            .isSafeToDeleteByDefault = index % 3 != 0,
        });
    }
    return results;
}

double medianMilliseconds(const std::function<void()>& work, int runs = kRuns) {
    return bench::medianMilliseconds(work, runs);
}

void report(const char* what, double milliseconds) {
    std::printf("  %-52s %9.3f ms  %5.3f of the %.0f ms budget\n", what, milliseconds,
                milliseconds / kBudgetMilliseconds, kBudgetMilliseconds);
}

// Times what a scan does to results already shown, against the same view model freeing the old
// results on the main thread: clearing them when a scan starts, and showing the scan's results,
// given as they are or prepared off the main thread as a finished scan's are. A scan gives new
// items (new identifiers), so every copy handed over differs from the last.
void timeResultChanges(ScanViewModel& model, const char* where, int items, ItemSortOrder order) {
    std::vector<double> clearing;
    std::vector<double> intoEmpty;
    std::vector<double> replacing;
    std::vector<double> preparing;
    std::vector<double> takingPrepared;
    for (int run = 0; run < kRuns; ++run) {
        model.applyResults(syntheticResults(items));
        clearing.push_back(medianMilliseconds([&] { model.applyResults({}); }, 1));
        // Made while the pool frees the cleared results, as a real scan takes its time.
        ScanResults scanned = syntheticResults(items);
        intoEmpty.push_back(medianMilliseconds([&] { model.applyResults(std::move(scanned)); }, 1));
        ScanResults rescanned = syntheticResults(items);
        replacing.push_back(
            medianMilliseconds([&] { model.applyResults(std::move(rescanned)); }, 1));
        model.applyResults({});
        std::optional<PreparedResults> prepared;
        ScanResults finished = syntheticResults(items);
        preparing.push_back(
            medianMilliseconds([&] { prepared.emplace(std::move(finished), order); }, 1));
        takingPrepared.push_back(
            medianMilliseconds([&] { model.applyPrepared(std::move(*prepared)); }, 1));
    }
    const auto median = [](std::vector<double>& times) {
        std::ranges::sort(times);
        return times[times.size() / 2];
    };
    std::printf(" old results freed %s:\n", where);
    report("applyResults({}), as a scan starts", median(clearing));
    report("applyResults after a scan (into empty results)", median(intoEmpty));
    report("applyResults replacing as many shown items", median(replacing));
    report("preparing a scan's results (on the engine's context)", median(preparing));
    report("applyPrepared after a scan (into empty results)", median(takingPrepared));
}

}  // namespace

int main(int argc, char** argv) {
    const int items = argc > 1 ? std::stoi(argv[1]) : 1'000'000;
    auto main = std::make_shared<support::ManualExecutor>();
    const auto engine = std::make_shared<const CleaningEngine>(
        std::vector<std::shared_ptr<CleaningModule>>{}, main);
    const auto detached = bench::detachedSettings();
    AppSettings& settings = *detached;
    const auto background = support::ThreadPool::create();
    std::printf("Scan view model, %d items in %zu modules (median of %d runs)\n", items,
                allCleaningModuleIDs.size(), kRuns);
    ScanViewModel freeingInPlace(
        engine, settings, main, [] { return false; }, FullDiskAccessProbe::platformAccessScope());
    timeResultChanges(freeingInPlace, "on the main thread (reference)", items,
                      settings.itemSortOrder());
    ScanViewModel model(
        engine, settings, main, [] { return false; }, FullDiskAccessProbe::platformAccessScope(),
        background);
    timeResultChanges(model, "on the pool, as in the window", items, settings.itemSortOrder());

    std::size_t matches = 0;
    for (const auto* query : {"datei-4242", "FOLDER-7", "app-13/"}) {
        model.setSearchQuery(query);
        const auto time = medianMilliseconds([&] {
            matches = 0;
            for (const auto id : allCleaningModuleIDs) {
                matches += model.visibleItems(id).size();
            }
        });
        const auto label = std::string("visibleItems of all modules, \"") + query + "\" (" +
                           std::to_string(matches) + " matches)";
        report(label.c_str(), time);
    }
    model.setSearchQuery("");
    report("selectSafe", medianMilliseconds([&] { model.selectSafe(); }));
    const auto someID = model.cachedAllItems()[static_cast<std::size_t>(items) / 2]->id;
    std::int64_t bytes = 0;
    report("1,000 x (toggleSelection + selectedBytes + isSelected)", medianMilliseconds([&] {
               for (int toggle = 0; toggle < 1000; ++toggle) {
                   model.toggleSelection(someID);
                   bytes += model.selectedBytes() + (model.isSelected(someID) ? 1 : 0);
               }
           }));
    report("selectAll", medianMilliseconds([&] { model.selectAll(); }));
    std::printf("(selected bytes now %lld)\n", static_cast<long long>(model.selectedBytes()));
    return bytes > 0 ? 0 : 1;
}
