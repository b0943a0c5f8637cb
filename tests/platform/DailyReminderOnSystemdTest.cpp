#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FakeSystemd.h"
#include "platform/SystemdReminderService.h"
#include "system/DailyReminder.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

const std::string kTimer = "quillo.daily-reminder.timer";
const std::string kEnable = "enable --now " + kTimer;
const std::string kDisable = "disable --now " + kTimer;

class DailyReminderOnSystemdTest : public ::testing::Test {
  protected:
    bool schedule(int hour) const {
        std::optional<bool> scheduled;
        DailyReminder::schedule(service_, hour,
                                [&scheduled](bool outcome) { scheduled = outcome; });
        return systemd_.await(scheduled);
    }

    /// Cancels and waits until the removal is done: the service answers in call order, so the
    /// status asked afterwards comes once the removal is over.
    void cancel() const {
        DailyReminder::cancel(*service_);
        std::optional<NotificationAuthorizationStatus> status;
        service_->getAuthorizationStatus(
            [&status](NotificationAuthorizationStatus answer) { status = answer; });
        systemd_.await(status);
    }

    std::vector<std::string> unitFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(systemd_.unitFolder())) {
            if (entry.is_regular_file()) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    const testing::FakeSystemd systemd_;
    const std::shared_ptr<SystemdReminderService> service_ =
        std::make_shared<SystemdReminderService>(systemd_.setup());
};

TEST_F(DailyReminderOnSystemdTest, SchedulingTwiceReplacesTheOneTimer) {
    EXPECT_TRUE(schedule(9));
    EXPECT_EQ(systemd_.calls(), (Calls{"show-environment", "daemon-reload", kEnable}));
    systemd_.forgetCalls();
    EXPECT_TRUE(schedule(9));
    EXPECT_EQ(systemd_.calls(),
              (Calls{"show-environment", kDisable, "daemon-reload", "daemon-reload", kEnable}));
    // The old units were gone before the new ones were written.
    EXPECT_EQ(systemd_.unitsAtReloads().at(1), "timers.target.wants");
    EXPECT_EQ(unitFiles().size(), 2U);
}

TEST_F(DailyReminderOnSystemdTest, CancelRemovesTheUnitsAndIsFreeWithNothingPending) {
    cancel();
    EXPECT_EQ(systemd_.calls(), Calls{"show-environment"});

    ASSERT_TRUE(schedule(9));
    systemd_.forgetCalls();
    cancel();
    EXPECT_EQ(systemd_.calls(), (Calls{kDisable, "daemon-reload", "show-environment"}));
    EXPECT_TRUE(unitFiles().empty());
}

}  // namespace
}  // namespace quillo::platform
