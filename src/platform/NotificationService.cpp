#include "platform/NotificationService.h"

#include "text/Text.h"

namespace quillo {

// NOLINTNEXTLINE(performance-unnecessary-value-param): overrides keep the callback
void NotificationService::unavailabilityReason(std::function<void(std::string)> done) {
    done(text::text("settings.reminder.unavailable.denied"));
}

}  // namespace quillo
