#include "platform/PlatformNotificationService.h"

#include <utility>

#include "platform/ExecutableSearch.h"
#include "platform/SystemdReminderService.h"

namespace quillo::platform {

std::shared_ptr<NotificationService> makePlatformNotificationService(
    std::shared_ptr<support::MainExecutor> mainExecutor, support::ExecutorRef workContext,
    const EnvironmentLookup& environment) {
    return std::make_shared<SystemdReminderService>(SystemdReminderService::Setup{
        .systemctl = findExecutable("systemctl", environment),
        .unitFolder = configurationFolder(environment) / "systemd" / "user",
        .findProgram =
            [environment](std::string_view name) { return findExecutable(name, environment); },
        .mainExecutor = std::move(mainExecutor),
        .workContext = std::move(workContext),
    });
}

}  // namespace quillo::platform
