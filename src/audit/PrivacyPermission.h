#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "model/LocalizableText.h"
#include "model/RawValue.h"

namespace quillo {

/// The privacy-protected resources whose usage declarations the audit reads, in the order in
/// which they are listed and an application's declarations are given. The cases after
/// `speechRecognition` have no Info.plist key: only Linux sandbox permissions declare them.
enum class PrivacyPermission {
    camera,
    microphone,
    screenCapture,
    accessibility,
    appleEvents,
    location,
    photos,
    contacts,
    calendars,
    reminders,
    bluetooth,
    localNetwork,
    desktopFolder,
    documentsFolder,
    downloadsFolder,
    speechRecognition,
    fullDiskAccess,
    homeFolder,
    inputMonitoring,
    network,
    sessionBus,
    systemBus,
    hostCommands,
    background,
    notifications,
};

inline constexpr std::array allPrivacyPermissions{
    PrivacyPermission::camera,          PrivacyPermission::microphone,
    PrivacyPermission::screenCapture,   PrivacyPermission::accessibility,
    PrivacyPermission::appleEvents,     PrivacyPermission::location,
    PrivacyPermission::photos,          PrivacyPermission::contacts,
    PrivacyPermission::calendars,       PrivacyPermission::reminders,
    PrivacyPermission::bluetooth,       PrivacyPermission::localNetwork,
    PrivacyPermission::desktopFolder,   PrivacyPermission::documentsFolder,
    PrivacyPermission::downloadsFolder, PrivacyPermission::speechRecognition,
    PrivacyPermission::fullDiskAccess,  PrivacyPermission::homeFolder,
    PrivacyPermission::inputMonitoring, PrivacyPermission::network,
    PrivacyPermission::sessionBus,      PrivacyPermission::systemBus,
    PrivacyPermission::hostCommands,    PrivacyPermission::background,
    PrivacyPermission::notifications,
};

template <>
struct RawValueTable<PrivacyPermission> {
    static constexpr std::array<std::pair<PrivacyPermission, std::string_view>,
                                allPrivacyPermissions.size()>
        cases{{
            {PrivacyPermission::camera, "camera"},
            {PrivacyPermission::microphone, "microphone"},
            {PrivacyPermission::screenCapture, "screenCapture"},
            {PrivacyPermission::accessibility, "accessibility"},
            {PrivacyPermission::appleEvents, "appleEvents"},
            {PrivacyPermission::location, "location"},
            {PrivacyPermission::photos, "photos"},
            {PrivacyPermission::contacts, "contacts"},
            {PrivacyPermission::calendars, "calendars"},
            {PrivacyPermission::reminders, "reminders"},
            {PrivacyPermission::bluetooth, "bluetooth"},
            {PrivacyPermission::localNetwork, "localNetwork"},
            {PrivacyPermission::desktopFolder, "desktopFolder"},
            {PrivacyPermission::documentsFolder, "documentsFolder"},
            {PrivacyPermission::downloadsFolder, "downloadsFolder"},
            {PrivacyPermission::speechRecognition, "speechRecognition"},
            {PrivacyPermission::fullDiskAccess, "fullDiskAccess"},
            {PrivacyPermission::homeFolder, "homeFolder"},
            {PrivacyPermission::inputMonitoring, "inputMonitoring"},
            {PrivacyPermission::network, "network"},
            {PrivacyPermission::sessionBus, "sessionBus"},
            {PrivacyPermission::systemBus, "systemBus"},
            {PrivacyPermission::hostCommands, "hostCommands"},
            {PrivacyPermission::background, "background"},
            {PrivacyPermission::notifications, "notifications"},
        }};
};

/// The Info.plist keys that declare the permission, in the order they are looked up.
std::span<const std::string_view> infoPlistKeys(PrivacyPermission permission);

/// The chip and section title ("permission.<raw value>" in the catalogue).
LocalizableText label(PrivacyPermission permission);

/// The name of the system symbol shown beside the label.
std::string_view symbolName(PrivacyPermission permission);

/// The anchor of the permission's pane in the system's privacy settings.
std::string_view settingsAnchor(PrivacyPermission permission);

/// "x-apple.systempreferences:com.apple.preference.security?" followed by the anchor.
std::string settingsLink(PrivacyPermission permission);

}  // namespace quillo
