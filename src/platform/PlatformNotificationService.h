#pragma once

#include <memory>

#include "platform/NotificationService.h"
#include "platform/StandardDirectories.h"
#include "support/Executor.h"

namespace quillo::platform {

/// The application's local-notification service on this platform: systemd user timers in
/// $XDG_CONFIG_HOME/systemd/user that show their notifications with notify-send, both programs
/// found through $PATH. Work runs on `workContext` (a strand), completions on `mainExecutor`.
std::shared_ptr<NotificationService> makePlatformNotificationService(
    std::shared_ptr<support::MainExecutor> mainExecutor, support::ExecutorRef workContext,
    const EnvironmentLookup& environment = processEnvironment());

}  // namespace quillo::platform
