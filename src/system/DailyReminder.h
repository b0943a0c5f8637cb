#pragma once

#include <functional>
#include <memory>

#include "platform/NotificationService.h"

// The daily notification that reminds the user to scan. Only the service's list of pending
// requests holds it: the settings switch and the reminder are not reconciled.
namespace quillo::DailyReminder {

inline constexpr char kIdentifier[] = "quillo.daily-reminder";

/// The reminder's request at `hour`, kept within 0 to 23, with its texts from the catalogue.
NotificationRequest request(int hour);

/// Replaces the pending reminder by one at `hour`, asking for authorization first if the user was
/// never asked. `done` runs on the main executor: true when the service took the request; false
/// when authorization is denied, refused or fails, or the service could not add it.
void schedule(const std::shared_ptr<NotificationService>& service, int hour,
              std::function<void(bool scheduled)> done);

/// Removes the pending reminder, if any; asks for nothing and reports nothing.
void cancel(NotificationService& service);

}  // namespace quillo::DailyReminder
