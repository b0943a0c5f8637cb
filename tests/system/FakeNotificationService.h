#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/NotificationService.h"
#include "support/ManualExecutor.h"

namespace quillo::testing {

/// A notification service that keeps its pending requests in memory and answers on a manual
/// main executor, as the platform's would: nothing is delivered until the test runs the queue.
/// Its state changes at the call, like the platform's.
class FakeNotificationService final : public NotificationService {
  public:
    /// How the user answers an authorization request.
    enum class UserAnswer { grant, refuse, requestFails };

    explicit FakeNotificationService(std::shared_ptr<support::ManualExecutor> mainExecutor);

    void getAuthorizationStatus(std::function<void(NotificationAuthorizationStatus)> done) override;
    void requestAuthorization(NotificationAuthorizationOptions options,
                              support::Completion<bool> done) override;
    void removePendingRequests(std::vector<std::string> identifiers,
                               support::Completion<support::Unit> done) override;
    void add(NotificationRequest request, support::Completion<support::Unit> done) override;

    NotificationAuthorizationStatus status = NotificationAuthorizationStatus::notDetermined;
    UserAnswer answer = UserAnswer::grant;
    bool addFails = false;

    std::vector<NotificationRequest> pending;
    /// The options of every authorization request, in order.
    std::vector<NotificationAuthorizationOptions> authorizationRequests;

  private:
    template <class T>
    void deliver(support::Completion<T> done, support::Result<T> result);

    std::shared_ptr<support::ManualExecutor> mainExecutor_;
};

}  // namespace quillo::testing
