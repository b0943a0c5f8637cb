#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/Result.h"

namespace quillo {

/// Whether the user lets the application show notifications.
enum class NotificationAuthorizationStatus { notDetermined, denied, authorized, provisional };

/// What the application asks to be allowed to do when it requests authorization.
struct NotificationAuthorizationOptions {
    bool alert = false;
    bool badge = false;
    bool sound = false;

    friend bool operator==(const NotificationAuthorizationOptions&,
                           const NotificationAuthorizationOptions&) = default;
};

/// A calendar trigger that matches the hour alone: it fires at the start of that hour, local
/// time, once or every day.
struct CalendarTrigger {
    /// 0 to 23.
    int hour = 0;
    bool repeats = true;

    friend bool operator==(const CalendarTrigger&, const CalendarTrigger&) = default;
};

/// A local notification to be shown when its trigger fires. Adding a request replaces a pending
/// one with the same identifier.
struct NotificationRequest {
    std::string identifier{};
    std::string title{};
    std::string body{};
    bool playsSound = false;
    CalendarTrigger trigger{};

    friend bool operator==(const NotificationRequest&, const NotificationRequest&) = default;
};

/// The platform's local-notification service. Every completion runs on the main executor, and
/// the operations take effect in the order they were called: a removal followed at once by an
/// add is done before the add.
class NotificationService {
  public:
    virtual ~NotificationService() = default;

    virtual void getAuthorizationStatus(
        std::function<void(NotificationAuthorizationStatus)> done) = 0;

    /// Asks the user where the platform asks; true when the options were granted.
    virtual void requestAuthorization(NotificationAuthorizationOptions options,
                                      support::Completion<bool> done) = 0;

    /// Removes the pending requests with these identifiers; notifications already shown stay.
    /// `done` may be empty: nobody needs to wait for a removal.
    virtual void removePendingRequests(std::vector<std::string> identifiers,
                                       support::Completion<support::Unit> done) = 0;

    virtual void add(NotificationRequest request, support::Completion<support::Unit> done) = 0;

    /// Why no reminder could be scheduled, in plain words for the user, after an authorization
    /// was denied or an add failed.
    virtual void unavailabilityReason(std::function<void(std::string)> done);
};

}  // namespace quillo
