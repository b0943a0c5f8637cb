#include "platform/NotificationService.h"

#include "text/Text.h"

namespace quillo {

void NotificationService::unavailabilityReason(std::function<void(std::string)> done) {
    done(text::text("settings.reminder.unavailable.denied"));
}

}  // namespace quillo
