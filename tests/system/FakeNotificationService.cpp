#include "system/FakeNotificationService.h"

#include <algorithm>
#include <utility>

namespace quillo::testing {

namespace {

class FakeServiceError final : public support::ErrorDetail {
  public:
    explicit FakeServiceError(std::string what) : what_(std::move(what)) {}
    [[nodiscard]] std::string description() const override { return what_; }

  private:
    std::string what_;
};

support::Error failure(std::string what) {
    return support::Error::make(FakeServiceError(std::move(what)));
}

}  // namespace

FakeNotificationService::FakeNotificationService(
    std::shared_ptr<support::ManualExecutor> mainExecutor)
    : mainExecutor_(std::move(mainExecutor)) {}

template <class T>
void FakeNotificationService::deliver(support::Completion<T> done, support::Result<T> result) {
    if (done) {
        mainExecutor_->post(
            [done = std::move(done), result = std::move(result)] { done(std::move(result)); });
    }
}

void FakeNotificationService::getAuthorizationStatus(
    std::function<void(NotificationAuthorizationStatus)> done) {
    mainExecutor_->post([done = std::move(done), status = status] { done(status); });
}

void FakeNotificationService::requestAuthorization(NotificationAuthorizationOptions options,
                                                   support::Completion<bool> done) {
    authorizationRequests.push_back(options);
    switch (answer) {
        case UserAnswer::grant:
            status = NotificationAuthorizationStatus::authorized;
            deliver<bool>(std::move(done), true);
            return;
        case UserAnswer::refuse:
            status = NotificationAuthorizationStatus::denied;
            deliver<bool>(std::move(done), false);
            return;
        case UserAnswer::requestFails:
            deliver<bool>(std::move(done), failure("Anfrage fehlgeschlagen"));
            return;
    }
}

void FakeNotificationService::removePendingRequests(std::vector<std::string> identifiers,
                                                    support::Completion<support::Unit> done) {
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [&identifiers](const NotificationRequest& request) {
                                     return std::find(identifiers.begin(), identifiers.end(),
                                                      request.identifier) != identifiers.end();
                                 }),
                  pending.end());
    deliver<support::Unit>(std::move(done), support::Unit{});
}

void FakeNotificationService::add(NotificationRequest request,
                                  support::Completion<support::Unit> done) {
    if (addFails) {
        deliver<support::Unit>(std::move(done), failure("Hinzufügen fehlgeschlagen"));
        return;
    }
    const auto same = std::find_if(pending.begin(), pending.end(), [&request](const auto& held) {
        return held.identifier == request.identifier;
    });
    if (same != pending.end()) {
        *same = std::move(request);
    } else {
        pending.push_back(std::move(request));
    }
    deliver<support::Unit>(std::move(done), support::Unit{});
}

}  // namespace quillo::testing
