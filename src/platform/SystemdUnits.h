#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/NotificationService.h"

// The unit files that turn a notification request into a systemd user timer and the oneshot
// service it starts, which shows the notification with notify-send.
namespace quillo::platform::SystemdUnits {

/// Whether `identifier` can name units: ASCII letters, digits, ".", "-" and "_", beginning with
/// a letter or a digit. Nothing else may reach a file name in the unit folder.
bool isUnitIdentifier(std::string_view identifier);

std::string timerName(std::string_view identifier);
std::string serviceName(std::string_view identifier);

/// Why `request` cannot become units (German), or nothing when it can: its identifier must name
/// units, its hour lie within 0 to 23, it must repeat, and its texts must be UTF-8 without NUL
/// bytes, which no command line can carry.
std::optional<std::string> problemWith(const NotificationRequest& request);

/// `text` as one word of a unit's command line that systemd hands to the program exactly as it
/// is: in double quotes, with backslash, double quote and control characters escaped, "%" doubled
/// against specifier expansion and "$" doubled against variable expansion. `text` holds no NUL.
std::string commandLineWord(std::string_view text);

/// The timer of a request without problems: every day at the start of its hour, local time.
std::string timerUnit(const NotificationRequest& request);

/// The service of a request without problems, run by the timer; `notifier` is the absolute path
/// of notify-send.
std::string serviceUnit(const NotificationRequest& request, const std::filesystem::path& notifier);

}  // namespace quillo::platform::SystemdUnits
