#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <optional>
#include <vector>

#include "support/ManualExecutor.h"
#include "system/AppSettings.h"
#include "system/DailyReminder.h"
#include "system/FakeNotificationService.h"

namespace quillo {
namespace {

using Status = NotificationAuthorizationStatus;
using testing::FakeNotificationService;

class DailyReminderTest : public ::testing::Test {
  protected:
    /// The outcome of `schedule` once the main executor ran dry; nothing if it never came.
    std::optional<bool> schedule(int hour) {
        std::optional<bool> scheduled;
        DailyReminder::schedule(service_, hour, [&scheduled](bool outcome) {
            EXPECT_FALSE(scheduled.has_value()) << "answered twice";
            scheduled = outcome;
        });
        main_->runAll();
        return scheduled;
    }

    const std::shared_ptr<support::ManualExecutor> main_ =
        std::make_shared<support::ManualExecutor>();
    const std::shared_ptr<FakeNotificationService> service_ =
        std::make_shared<FakeNotificationService>(main_);
};

TEST_F(DailyReminderTest, TheRequestIsTheSilentDailyReminderAtTheHour) {
    EXPECT_EQ(DailyReminder::request(9),
              (NotificationRequest{
                  .identifier = "quillo.daily-reminder",
                  .title = "Quillo",
                  .body = "Zeit für einen schnellen Scan deiner Systemdaten.",
                  .playsSound = false,
                  .trigger = CalendarTrigger{.hour = 9, .repeats = true},
              }));
}

TEST_F(DailyReminderTest, HoursOutsideTheDayAreClampedToItsEnds) {
    EXPECT_EQ(DailyReminder::request(25).trigger.hour, 23);
    EXPECT_EQ(DailyReminder::request(-1).trigger.hour, 0);
    EXPECT_EQ(DailyReminder::request(INT_MAX).trigger.hour, 23);
    EXPECT_EQ(DailyReminder::request(INT_MIN).trigger.hour, 0);
    EXPECT_EQ(DailyReminder::request(0).trigger.hour, 0);
    EXPECT_EQ(DailyReminder::request(23).trigger.hour, 23);
}

TEST_F(DailyReminderTest, AnAuthorizedOrProvisionalServiceGetsTheRequestWithoutBeingAsked) {
    for (const auto status : {Status::authorized, Status::provisional}) {
        service_->pending.clear();
        service_->status = status;
        EXPECT_EQ(schedule(9), true);
        ASSERT_EQ(service_->pending.size(), 1U);
        EXPECT_EQ(service_->pending.front(), DailyReminder::request(9));
    }
    EXPECT_TRUE(service_->authorizationRequests.empty());
}

TEST_F(DailyReminderTest, SchedulingTwiceLeavesExactlyOneReminderPending) {
    service_->status = Status::authorized;
    // Another request of the application's stays untouched.
    service_->pending.push_back(NotificationRequest{.identifier = "other"});
    EXPECT_EQ(schedule(9), true);
    EXPECT_EQ(schedule(7), true);
    ASSERT_EQ(service_->pending.size(), 2U);
    EXPECT_EQ(service_->pending[0].identifier, "other");
    EXPECT_EQ(service_->pending[1], DailyReminder::request(7));
}

TEST_F(DailyReminderTest, AnUndeterminedAuthorizationIsRequestedForAlertAndBadgeOnce) {
    service_->answer = FakeNotificationService::UserAnswer::grant;
    EXPECT_EQ(schedule(9), true);
    EXPECT_EQ(service_->pending, std::vector<NotificationRequest>{DailyReminder::request(9)});
    const std::vector<NotificationAuthorizationOptions> alertAndBadge{
        {.alert = true, .badge = true, .sound = false}};
    EXPECT_EQ(service_->authorizationRequests, alertAndBadge);

    // Granted once, the next schedule does not ask again.
    EXPECT_EQ(schedule(9), true);
    EXPECT_EQ(service_->authorizationRequests.size(), 1U);
}

TEST_F(DailyReminderTest, ARefusedOrFailedAuthorizationRequestAddsNothing) {
    for (const auto answer : {FakeNotificationService::UserAnswer::refuse,
                              FakeNotificationService::UserAnswer::requestFails}) {
        service_->status = Status::notDetermined;
        service_->answer = answer;
        EXPECT_EQ(schedule(9), false);
        EXPECT_TRUE(service_->pending.empty());
    }
    EXPECT_EQ(service_->authorizationRequests.size(), 2U);

    // Once refused, authorization is denied: nothing is added and nobody is asked again.
    service_->status = Status::denied;
    EXPECT_EQ(schedule(9), false);
    EXPECT_TRUE(service_->pending.empty());
    EXPECT_EQ(service_->authorizationRequests.size(), 2U);
}

TEST_F(DailyReminderTest, AFailedAddReportsFalseAndLeavesNoOlderReminderBehind) {
    service_->status = Status::authorized;
    ASSERT_EQ(schedule(9), true);
    service_->addFails = true;
    EXPECT_EQ(schedule(8), false);
    EXPECT_TRUE(service_->pending.empty());
}

TEST_F(DailyReminderTest, CancelRemovesOnlyTheReminderAndIsHarmlessWithNothingPending) {
    DailyReminder::cancel(*service_);
    main_->runAll();
    EXPECT_TRUE(service_->pending.empty());

    service_->status = Status::authorized;
    service_->pending.push_back(NotificationRequest{.identifier = "other"});
    ASSERT_EQ(schedule(9), true);
    DailyReminder::cancel(*service_);
    main_->runAll();
    ASSERT_EQ(service_->pending.size(), 1U);
    EXPECT_EQ(service_->pending.front().identifier, "other");
    EXPECT_TRUE(service_->authorizationRequests.empty());
}

TEST_F(DailyReminderTest, ResettingTheSettingsLeavesTheReminderPending) {
    AppSettings settings(
        std::make_unique<InMemoryDefaultsStore>(),
        SettingsEnvironment{
            .checkFullDiskAccess = [] { return FullDiskAccessProbe::Status::denied; },
            .reportStoreFailure = [](const support::Error&) {},
        });
    service_->status = Status::authorized;
    settings.setDailyReminderEnabled(true);
    ASSERT_EQ(schedule(9), true);

    settings.resetAll();
    main_->runAll();

    EXPECT_FALSE(settings.dailyReminderEnabled());
    EXPECT_EQ(service_->pending, std::vector<NotificationRequest>{DailyReminder::request(9)});
}

}  // namespace
}  // namespace quillo
