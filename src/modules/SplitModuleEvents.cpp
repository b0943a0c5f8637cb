#include "modules/SplitModuleEvents.h"

#include <algorithm>
#include <utility>

namespace quillo {

SplitModuleEvents::SplitModuleEvents(const std::map<CleaningModuleID, std::size_t>& splitTotals) {
    for (const auto& [moduleID, total] : splitTotals) {
        split_[moduleID].total = total;
    }
}

std::optional<DeletionEvent> SplitModuleEvents::pass(DeletionEvent event) {
    if (const auto* started = std::get_if<DeletionStarted>(&event)) {
        const auto module = split_.find(started->moduleID);
        if (module == split_.end()) {
            return event;
        }
        if (std::exchange(module->second.announced, true)) {
            return std::nullopt;
        }
        return DeletionStarted{started->moduleID, module->second.total};
    }
    auto* finished = std::get_if<DeletionFinished>(&event);
    const auto module = finished == nullptr ? split_.end() : split_.find(finished->report.moduleID);
    if (module == split_.end()) {
        return event;
    }
    auto& first = module->second.firstReport;
    if (!first) {
        first = std::move(finished->report);
        return std::nullopt;
    }
    auto& second = finished->report;
    first->succeeded.insert(first->succeeded.end(), second.succeeded.begin(),
                            second.succeeded.end());
    first->failed.insert(first->failed.end(), second.failed.begin(), second.failed.end());
    first->startedAt = std::min(first->startedAt, second.startedAt);
    first->completedAt = std::max(first->completedAt, second.completedAt);
    DeletionFinished merged{std::move(*first)};
    first.reset();
    return merged;
}

}  // namespace quillo
