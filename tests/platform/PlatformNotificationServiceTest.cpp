#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/FakeSystemd.h"
#include "platform/PlatformNotificationService.h"
#include "system/DailyReminder.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;
using Variables = std::map<std::string, std::string>;

/// Schedules the reminder through the platform's service over `variables` alone.
bool scheduleWith(const testing::FakeSystemd& systemd, const Variables& variables) {
    const auto service = makePlatformNotificationService(
        systemd.main(), systemd.main(), [&variables](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        });
    std::optional<bool> scheduled;
    DailyReminder::schedule(service, 9, [&scheduled](bool outcome) { scheduled = outcome; });
    return systemd.await(scheduled);
}

TEST(PlatformNotificationServiceTest, FindsBothToolsOnThePathAndWritesBelowTheConfigHome) {
    const testing::FakeSystemd systemd;
    const auto tools = (systemd.root() / "tools").string();
    const auto home = (systemd.root() / "home").string();

    EXPECT_TRUE(scheduleWith(systemd, {{"PATH", tools}, {"HOME", home}}));
    EXPECT_TRUE(fs::exists(systemd.unitFolder() / "quillo.daily-reminder.timer"));

    fs::remove_all(systemd.root() / "home");
    EXPECT_TRUE(scheduleWith(
        systemd,
        {{"PATH", tools}, {"HOME", "/nonexistent"}, {"XDG_CONFIG_HOME", home + "/.config"}}));
    EXPECT_TRUE(fs::exists(systemd.unitFolder() / "quillo.daily-reminder.service"));
}

}  // namespace
}  // namespace quillo::platform
