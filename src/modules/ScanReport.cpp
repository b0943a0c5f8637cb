#include "modules/ScanReport.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "model/RawValue.h"
#include "support/Formatting.h"

namespace quillo {

namespace {

std::string depthName(ScanDepth depth) {
    return depth == ScanDepth::deep ? "Tiefenscan" : "Standardscan";
}

std::string seconds(std::chrono::milliseconds elapsed) {
    std::ostringstream text;
    text.precision(2);
    text << std::fixed << static_cast<double>(elapsed.count()) / 1000.0;
    auto value = text.str();
    std::replace(value.begin(), value.end(), '.', ',');
    return value + " s";
}

nlohmann::ordered_json itemJSON(const CleanableItem& item) {
    auto warnings = nlohmann::ordered_json::array();
    for (const auto warning : item.warnings) {
        warnings.push_back(std::string(rawValue(warning)));
    }
    return {
        {"id", item.id.uppercaseString()},
        {"path", item.url.string()},
        {"sizeInBytes", item.sizeInBytes},
        {"lastModified", support::formatISO8601UTC(item.lastModified)},
        {"moduleID", std::string(rawValue(item.moduleID))},
        {"warnings", std::move(warnings)},
        {"isSafeToDeleteByDefault", item.isSafeToDeleteByDefault},
    };
}

}  // namespace

std::string scanReportText(const ScanSummary& summary) {
    std::ostringstream text;
    text << "Quillo – " << depthName(summary.depth) << "\n";
    std::int64_t total = 0;
    std::size_t count = 0;
    for (const auto& module : summary.modules) {
        const auto found = summary.results.find(module.id);
        if (found == summary.results.end()) {
            continue;
        }
        std::int64_t bytes = 0;
        std::size_t preselected = 0;
        for (const auto& item : found->second) {
            bytes += item.sizeInBytes;
            preselected += item.isSafeToDeleteByDefault ? 1 : 0;
        }
        total += bytes;
        count += found->second.size();
        text << "  " << module.displayName.defaultValue << ": " << found->second.size()
             << " Objekte, " << support::formatByteCount(bytes) << " (" << preselected
             << " sicher löschbar)\n";
    }
    for (const auto& module : summary.modules) {
        if (const auto reason = summary.leftOut.find(module.id); reason != summary.leftOut.end()) {
            text << "  " << module.displayName.defaultValue << ": nicht untersucht ("
                 << reason->second << ")\n";
        }
    }
    text << "Gesamt: " << count << " Objekte, " << support::formatByteCount(total) << ", Dauer "
         << seconds(summary.elapsed) << "\n";
    return text.str();
}

std::string scanReportJSON(const ScanSummary& summary) {
    auto items = nlohmann::ordered_json::array();
    for (const auto& module : summary.modules) {
        if (const auto found = summary.results.find(module.id); found != summary.results.end()) {
            for (const auto& item : found->second) {
                items.push_back(itemJSON(item));
            }
        }
    }
    // Paths are bytes; one that is not UTF-8 is shown with replacement characters.
    return items.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace quillo
