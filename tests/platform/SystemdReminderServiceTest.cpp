#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/FakeSystemd.h"
#include "platform/SystemdReminderService.h"
#include "platform/SystemdUnits.h"
#include "support/TextFiles.h"
#include "support/ThreadPool.h"
#include "system/DailyReminder.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;
using Status = NotificationAuthorizationStatus;
using Calls = std::vector<std::string>;

const std::string kTimer = "quillo.daily-reminder.timer";
const std::string kService = "quillo.daily-reminder.service";
const std::string kEnable = "enable --now " + kTimer;
const std::string kDisable = "disable --now " + kTimer;

class SystemdReminderServiceTest : public ::testing::Test {
  protected:
    Status status(SystemdReminderService& service) const {
        std::optional<Status> answer;
        service.getAuthorizationStatus([&answer](Status status) { answer = status; });
        return systemd_.await(answer);
    }
    support::Result<bool> requestAuthorization(SystemdReminderService& service) const {
        std::optional<support::Result<bool>> answer;
        service.requestAuthorization(
            {.alert = true, .badge = true, .sound = false},
            [&answer](const support::Result<bool>& granted) { answer = granted; });
        return systemd_.await(answer);
    }
    support::Status add(SystemdReminderService& service, NotificationRequest request) const {
        std::optional<support::Status> answer;
        service.add(std::move(request),
                    [&answer](const support::Status& added) { answer = added; });
        return systemd_.await(answer);
    }
    support::Status remove(SystemdReminderService& service,
                           std::vector<std::string> identifiers) const {
        std::optional<support::Status> answer;
        service.removePendingRequests(
            std::move(identifiers),
            [&answer](const support::Status& removed) { answer = removed; });
        return systemd_.await(answer);
    }

    fs::path unit(const std::string& name) const { return systemd_.unitFolder() / name; }
    bool exists(const fs::path& path) const { return fs::exists(fs::symlink_status(path)); }

    const testing::FakeSystemd systemd_;
    SystemdReminderService service_{systemd_.setup()};
};

TEST_F(SystemdReminderServiceTest, AuthorizedWhenTheUserManagerAnswersAndNotifySendIsFound) {
    EXPECT_EQ(status(service_), Status::authorized);
    const auto granted = requestAuthorization(service_);
    ASSERT_TRUE(granted.ok());
    EXPECT_TRUE(granted.value());
    EXPECT_EQ(systemd_.calls(), (Calls{"show-environment", "show-environment"}));
    EXPECT_TRUE(systemd_.everythingWritten().empty());
}

TEST_F(SystemdReminderServiceTest, DeniedAndNeverUndeterminedWhenTheUserManagerDoesNotAnswer) {
    systemd_.failWith("show-environment", 1);
    EXPECT_EQ(status(service_), Status::denied);
    const auto granted = requestAuthorization(service_);
    ASSERT_TRUE(granted.ok());
    EXPECT_FALSE(granted.value());
}

TEST_F(SystemdReminderServiceTest, DeniedWithoutNotifySendSystemctlOrAnAbsoluteUnitFolder) {
    using Setup = SystemdReminderService::Setup;
    for (const auto& spoil : std::vector<std::function<void(Setup&)>>{
             [](Setup& setup) { setup.findProgram = [](std::string_view) { return fs::path(); }; },
             [this](Setup& setup) { setup.systemctl = systemd_.root() / "tools/missing"; },
             [](Setup& setup) { setup.systemctl.clear(); }}) {
        auto setup = systemd_.setup();
        spoil(setup);
        SystemdReminderService spoilt(setup);
        EXPECT_EQ(status(spoilt), Status::denied);
    }
    EXPECT_TRUE(systemd_.calls().empty()) << "asked the manager although nothing could notify";

    auto setup = systemd_.setup();
    setup.unitFolder = ".config/systemd/user";
    SystemdReminderService withRelativeFolder(setup);
    EXPECT_EQ(status(withRelativeFolder), Status::denied);
    EXPECT_FALSE(add(withRelativeFolder, DailyReminder::request(9)).ok());
    const auto stranger = systemd_.root() / ".config/systemd/user" / kTimer;
    testing::writeTextFile(stranger, "not ours");
    const auto workingFolder = fs::current_path();
    fs::current_path(systemd_.root());
    EXPECT_TRUE(remove(withRelativeFolder, {"quillo.daily-reminder"}).ok());
    fs::current_path(workingFolder);
    EXPECT_TRUE(fs::exists(stranger));
    EXPECT_TRUE(systemd_.calls().empty());
}

TEST_F(SystemdReminderServiceTest, AddWritesBothUnitsThenReloadsAndEnablesTheTimer) {
    const auto request = DailyReminder::request(7);
    const auto added = add(service_, request);
    ASSERT_TRUE(added.ok()) << added.error().description();

    EXPECT_EQ(testing::readTextFile(unit(kTimer)), SystemdUnits::timerUnit(request));
    EXPECT_NE(testing::readTextFile(unit(kTimer)).find("\nOnCalendar=*-*-* 07:00:00\n"),
              std::string::npos);
    EXPECT_EQ(testing::readTextFile(unit(kService)),
              SystemdUnits::serviceUnit(request, systemd_.notifier()));
    EXPECT_EQ(systemd_.calls(), (Calls{"daemon-reload", kEnable}));
    EXPECT_EQ(systemd_.unitsAtReloads(), Calls{kService + " " + kTimer});
    // Nothing beside the user's unit folder and the link the manager made in it.
    EXPECT_EQ(systemd_.everythingWritten(),
              (std::set<std::string>{
                  "home", "home/.config", "home/.config/systemd", "home/.config/systemd/user",
                  "home/.config/systemd/user/" + kService, "home/.config/systemd/user/" + kTimer,
                  "home/.config/systemd/user/timers.target.wants",
                  "home/.config/systemd/user/timers.target.wants/" + kTimer}));
}

TEST_F(SystemdReminderServiceTest, AFailedReloadOrEnableRemovesWhatWasWritten) {
    struct Case {
        std::string failing;
        Calls calls;
    };
    for (const auto& [failing, calls] :
         {Case{"daemon-reload", {"daemon-reload", kDisable, "daemon-reload"}},
          Case{"enable", {"daemon-reload", kEnable, kDisable, "daemon-reload"}}}) {
        const testing::FakeSystemd systemd;
        SystemdReminderService service(systemd.setup());
        systemd.failWith(failing, 1);
        std::optional<support::Status> answer;
        service.add(DailyReminder::request(9),
                    [&answer](const support::Status& added) { answer = added; });
        const auto added = systemd.await(answer);
        ASSERT_FALSE(added.ok()) << failing;
        EXPECT_NE(added.error().description().find(failing), std::string::npos)
            << added.error().description();
        EXPECT_EQ(systemd.calls(), calls) << failing;
        EXPECT_EQ(systemd.everythingWritten(),
                  (std::set<std::string>{"home", "home/.config", "home/.config/systemd",
                                         "home/.config/systemd/user"}))
            << failing;
    }
}

TEST_F(SystemdReminderServiceTest, AnUnwritableUnitFolderFailsBeforeAnyManagerIsAsked) {
    testing::writeTextFile(systemd_.root() / "home/.config/systemd", "no folder");
    EXPECT_FALSE(add(service_, DailyReminder::request(9)).ok());
    EXPECT_TRUE(systemd_.calls().empty());
}

TEST_F(SystemdReminderServiceTest, RequestsTheUnitsCannotCarryTouchNothing) {
    auto escaping = DailyReminder::request(9);
    escaping.identifier = "../../../escaped";
    auto outOfDay = DailyReminder::request(9);
    outOfDay.trigger.hour = 24;
    auto setup = systemd_.setup();
    setup.findProgram = [](std::string_view) { return fs::path(); };
    SystemdReminderService withoutNotifier(setup);

    EXPECT_FALSE(add(service_, escaping).ok());
    EXPECT_FALSE(add(service_, outOfDay).ok());
    EXPECT_FALSE(add(withoutNotifier, DailyReminder::request(9)).ok());
    EXPECT_TRUE(systemd_.calls().empty());
    EXPECT_TRUE(systemd_.everythingWritten().empty());
}

TEST_F(SystemdReminderServiceTest, RemovalDisablesTheTimerDeletesTheUnitsAndReloads) {
    ASSERT_TRUE(add(service_, DailyReminder::request(9)).ok());
    systemd_.forgetCalls();
    EXPECT_TRUE(remove(service_, {"quillo.daily-reminder"}).ok());
    EXPECT_EQ(systemd_.calls(), (Calls{kDisable, "daemon-reload"}));
    EXPECT_FALSE(exists(unit(kTimer)));
    EXPECT_FALSE(exists(unit(kService)));
    EXPECT_FALSE(exists(unit("timers.target.wants/" + kTimer)));
}

TEST_F(SystemdReminderServiceTest, RemovalDeletesTheLinkItselfWhenSystemctlCannotDisable) {
    ASSERT_TRUE(add(service_, DailyReminder::request(9)).ok());
    ASSERT_TRUE(exists(unit("timers.target.wants/" + kTimer)));
    systemd_.failWith("disable", 1);
    EXPECT_TRUE(remove(service_, {"quillo.daily-reminder"}).ok());
    EXPECT_FALSE(exists(unit("timers.target.wants/" + kTimer)));
    EXPECT_FALSE(exists(unit(kTimer)));
    EXPECT_FALSE(exists(unit(kService)));

    // A reload that fails is told, though the files are gone.
    ASSERT_TRUE(add(service_, DailyReminder::request(9)).ok());
    systemd_.failWith("daemon-reload", 1);
    EXPECT_FALSE(remove(service_, {"quillo.daily-reminder"}).ok());
    EXPECT_FALSE(exists(unit(kTimer)));
}

TEST_F(SystemdReminderServiceTest, RemovingWhatIsNotThereRunsNothing) {
    EXPECT_TRUE(remove(service_, {"quillo.daily-reminder", "../elsewhere", ""}).ok());
    EXPECT_TRUE(systemd_.calls().empty());
    EXPECT_TRUE(systemd_.everythingWritten().empty());
}

TEST_F(SystemdReminderServiceTest, WorkRunsOnTheWorkContextAndAnswersOnTheMainExecutor) {
    const auto pool = support::ThreadPool::create(2);
    std::weak_ptr<support::Executor> workContextInUse;
    {
        auto setup = systemd_.setup();
        const auto testThread = std::this_thread::get_id();
        auto workedOnTestThread = std::make_shared<bool>(false);
        setup.workContext = pool->makeStrand();
        workContextInUse = setup.workContext;
        setup.findProgram = [notifier = systemd_.notifier(), testThread,
                             workedOnTestThread](std::string_view) {
            *workedOnTestThread = *workedOnTestThread || std::this_thread::get_id() == testThread;
            return notifier;
        };
        SystemdReminderService service(setup);
        std::optional<std::thread::id> answeredOn;
        service.add(DailyReminder::request(9), [&answeredOn](const support::Status&) {
            answeredOn = std::this_thread::get_id();
        });
        EXPECT_EQ(systemd_.await(answeredOn), testThread);
        EXPECT_FALSE(*workedOnTestThread);
        EXPECT_TRUE(exists(unit(kTimer)));
    }
    // The tool's waiting thread may still be returning from its post to the strand; the pool goes
    // only after that thread has let go of the strand.
    while (!workContextInUse.expired()) {
        std::this_thread::yield();
    }
}

}  // namespace
}  // namespace quillo::platform
