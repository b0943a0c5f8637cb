#pragma once

#include <chrono>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/CleaningModuleDescriptor.h"
#include "model/ScanDepth.h"
#include "modules/CleaningEngine.h"

namespace quillo {

/// One scan's outcome as the headless report shows it.
struct ScanSummary {
    ScanDepth depth = ScanDepth::standard;
    /// Every module of the engine, in its order.
    std::vector<CleaningModuleDescriptor> modules;
    ScanResults results;
    /// Modules that were not scanned, with the reason shown for each.
    std::map<CleaningModuleID, std::string> leftOut;
    std::chrono::milliseconds elapsed{0};
};

/// "N Objekte", or "1 Objekt".
std::string itemCountText(std::size_t count);

/// A German line per module (item count, total, how many are preselected), the modules left out
/// and the grand total.
std::string scanReportText(const ScanSummary& summary);

/// One item as the JSON reports show it: id, path, size, modification time, module, warnings
/// and whether it is safe by default.
nlohmann::ordered_json scanItemJSON(const CleanableItem& item);

/// `value` as the reports print it: indented, a line feed at the end.
std::string jsonText(const nlohmann::ordered_json& value);

/// Every item found, in module order, as a JSON array: id, path, size, modification time,
/// module, warnings and whether it is preselected.
std::string scanReportJSON(const ScanSummary& summary);

}  // namespace quillo
