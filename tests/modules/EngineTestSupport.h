#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modules/CleaningEngine.h"
#include "modules/MockCleaningModule.h"
#include "support/ManualExecutor.h"
#include "support/ManualSleeper.h"

namespace quillo::testing {

inline CleaningModuleDescriptor mockProperties(CleaningModuleID id, bool destructive = false) {
    const auto name = displayName(id);
    return CleaningModuleDescriptor{.id = id,
                                    .displayName = name,
                                    .explanation = {"Test-Modul.", "Test-Modul."},
                                    .symbolName = "testtube",
                                    .isDestructive = destructive,
                                    .estimatedScanDuration = 0.5,
                                    .isAvailableInSandbox = true,
                                    .requiresFullDiskAccess = false};
}

/// A module's or tool's failure, as the user reads it.
class ToolFailure final : public support::ErrorDetail {
  public:
    [[nodiscard]] std::string description() const override { return "Werkzeug fehlgeschlagen"; }
};

/// Everything a deletion stream delivered, in order.
struct StreamRecording {
    std::vector<DeletionEvent> events;
    std::optional<std::optional<support::Error>> end;

    [[nodiscard]] bool endedNormally() const { return end.has_value() && !end->has_value(); }
    /// The events of one module, in the order they arrived.
    [[nodiscard]] std::vector<DeletionEvent> eventsOf(CleaningModuleID id) const {
        std::vector<DeletionEvent> matching;
        for (const auto& event : events) {
            if (moduleOf(event) == id) {
                matching.push_back(event);
            }
        }
        return matching;
    }

    static CleaningModuleID moduleOf(const DeletionEvent& event) {
        return std::visit(
            [](const auto& value) {
                if constexpr (requires { value.report; }) {
                    return value.report.moduleID;
                } else {
                    return value.moduleID;
                }
            },
            event);
    }
};

inline void record(support::EventStream<DeletionEvent>& stream,
                   const std::shared_ptr<support::ManualExecutor>& executor,
                   StreamRecording& recording) {
    stream.listen(
        executor,
        [&recording](DeletionEvent event) { recording.events.push_back(std::move(event)); },
        [&recording](std::optional<support::Error> error) { recording.end = std::move(error); });
}

}  // namespace quillo::testing
