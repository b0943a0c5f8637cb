#include "modules/ScanReport.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "model/RawValue.h"
#include "model/SafeSelection.h"
#include "support/Formatting.h"
#include "text/Text.h"

namespace quillo {

namespace {

std::string depthName(ScanDepth depth) {
    return text::text(depth == ScanDepth::deep ? "cli.report.depth.deep"
                                               : "cli.report.depth.standard");
}

std::string seconds(std::chrono::milliseconds elapsed) {
    std::ostringstream text;
    text.precision(2);
    text << std::fixed << static_cast<double>(elapsed.count()) / 1000.0;
    auto value = text.str();
    std::replace(value.begin(), value.end(), '.', ',');
    return value + " s";
}

}  // namespace

std::string itemCountText(std::size_t count) {
    const auto number = static_cast<std::int64_t>(count);
    return text::countFormat("cli.count.items.format", number, {number});
}

nlohmann::ordered_json scanItemJSON(const CleanableItem& item) {
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

std::string jsonText(const nlohmann::ordered_json& value) {
    // Paths are bytes; one that is not UTF-8 is shown with replacement characters.
    return value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string scanReportText(const ScanSummary& summary) {
    std::ostringstream report;
    report << text::format("cli.report.title.format", {depthName(summary.depth)}) << "\n";
    std::int64_t total = 0;
    std::size_t count = 0;
    for (const auto& module : summary.modules) {
        const auto found = summary.results.find(module.id);
        if (found == summary.results.end()) {
            continue;
        }
        std::int64_t bytes = 0;
        std::int64_t preselected = 0;
        for (const auto& item : found->second) {
            bytes += item.sizeInBytes;
            preselected += belongsToSafeSelection(item) ? 1 : 0;
        }
        total += bytes;
        count += found->second.size();
        report << "  "
               << text::format("cli.report.module.format",
                               {text::text(module.displayName), itemCountText(found->second.size()),
                                support::formatByteCount(bytes),
                                text::format("cli.count.safe.format", {preselected})})
               << "\n";
    }
    for (const auto& module : summary.modules) {
        if (const auto reason = summary.leftOut.find(module.id); reason != summary.leftOut.end()) {
            report << "  "
                   << text::format("cli.report.notScanned.format",
                                   {text::text(module.displayName), reason->second})
                   << "\n";
        }
    }
    report << text::format(
                  "cli.report.total.format",
                  {itemCountText(count), support::formatByteCount(total), seconds(summary.elapsed)})
           << "\n";
    return report.str();
}

std::string scanReportJSON(const ScanSummary& summary) {
    auto items = nlohmann::ordered_json::array();
    for (const auto& module : summary.modules) {
        if (const auto found = summary.results.find(module.id); found != summary.results.end()) {
            for (const auto& item : found->second) {
                items.push_back(scanItemJSON(item));
            }
        }
    }
    return jsonText(items);
}

}  // namespace quillo
