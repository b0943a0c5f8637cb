#include "system/DailyReminder.h"

#include <algorithm>
#include <utility>

#include "model/LocalizableText.h"
#include "text/Text.h"

namespace quillo::DailyReminder {

namespace {

using Done = std::function<void(bool scheduled)>;

// Removing first keeps at most one reminder pending whatever the service does with a repeated
// identifier.
void replacePending(const std::shared_ptr<NotificationService>& service, int hour, Done done) {
    service->removePendingRequests({kIdentifier}, {});
    service->add(request(hour),
                 [done = std::move(done)](const support::Status& added) { done(added.ok()); });
}

}  // namespace

NotificationRequest request(int hour) {
    return NotificationRequest{
        .identifier = kIdentifier,
        .title = text::text(LocalizableText::ownKey("Quillo")),
        .body = text::text(
            LocalizableText::ownKey("Zeit für einen schnellen Scan deiner Systemdaten.")),
        .playsSound = false,
        .trigger = CalendarTrigger{.hour = std::clamp(hour, 0, 23), .repeats = true},
    };
}

void schedule(const std::shared_ptr<NotificationService>& service, int hour, Done done) {
    service->getAuthorizationStatus([service, hour, done = std::move(done)](
                                        NotificationAuthorizationStatus status) mutable {
        switch (status) {
            case NotificationAuthorizationStatus::notDetermined:
                service->requestAuthorization(
                    NotificationAuthorizationOptions{.alert = true, .badge = true, .sound = false},
                    [service, hour, done = std::move(done)](const support::Result<bool>& granted) {
                        if (granted.ok() && granted.value()) {
                            replacePending(service, hour, done);
                        } else {
                            done(false);
                        }
                    });
                return;
            case NotificationAuthorizationStatus::authorized:
            case NotificationAuthorizationStatus::provisional:
                replacePending(service, hour, std::move(done));
                return;
            case NotificationAuthorizationStatus::denied:
                break;
        }
        done(false);
    });
}

void cancel(NotificationService& service) {
    service.removePendingRequests({kIdentifier}, {});
}

}  // namespace quillo::DailyReminder
