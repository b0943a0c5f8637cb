#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/NotificationService.h"
#include "support/Executor.h"
#include "support/SerialQueue.h"

namespace quillo::platform {

/// Why the reminder service could not do what it was asked; the description says which step.
class ReminderServiceError final : public support::ErrorDetail {
  public:
    explicit ReminderServiceError(std::string what) : what_(std::move(what)) {}
    [[nodiscard]] std::string description() const override { return what_; }

  private:
    std::string what_;
};

/// Local notifications through the user's systemd instance: a request becomes a timer and the
/// oneshot service it starts, which shows the notification with notify-send. Only the user's
/// unit folder is written; the user's systemd forgets the units only when they are removed.
///
/// There is nobody to ask for authorization: it is `authorized` when a user instance answers
/// and notify-send is found, else `denied`, never `notDetermined`. All work (files and systemctl
/// runs) happens on the work context one operation at a time; completions go to the main
/// executor.
class SystemdReminderService final : public NotificationService {
  public:
    struct Setup {
        /// The absolute path of systemctl; with an empty one nothing is authorized.
        std::filesystem::path systemctl;
        /// The user's systemd unit folder ($XDG_CONFIG_HOME/systemd/user); must be absolute.
        std::filesystem::path unitFolder;
        /// The absolute path of a program by name, empty when there is none; asked for
        /// notify-send at every check and every add, on the work context.
        std::function<std::filesystem::path(std::string_view name)> findProgram;
        std::shared_ptr<support::MainExecutor> mainExecutor;
        /// A serial context (a strand) off the main thread.
        support::ExecutorRef workContext;
    };

    explicit SystemdReminderService(Setup setup);

    void getAuthorizationStatus(std::function<void(NotificationAuthorizationStatus)> done) override;
    /// Asks nobody: granted exactly when the status is `authorized`. notify-send has no
    /// permissions, so the options change nothing.
    void requestAuthorization(NotificationAuthorizationOptions options,
                              support::Completion<bool> done) override;
    /// Stops and disables each timer, deletes its units and reloads the user's systemd. An
    /// identifier without units costs nothing.
    void removePendingRequests(std::vector<std::string> identifiers,
                               support::Completion<support::Unit> done) override;
    /// Writes both units, reloads and enables the timer at once. A failed step removes what was
    /// written, so a failed add leaves no request with its identifier.
    void add(NotificationRequest request, support::Completion<support::Unit> done) override;
    /// No notify-send, no user systemd, or a timer that could not be set up.
    void unavailabilityReason(std::function<void(std::string)> done) override;

  private:
    std::shared_ptr<const Setup> setup_;
    std::shared_ptr<support::SerialQueue> queue_;
};

}  // namespace quillo::platform
