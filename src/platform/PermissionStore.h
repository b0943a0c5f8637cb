#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/StandardDirectories.h"
#include "support/Result.h"

namespace quillo::platform {

/// One application's row in a table of the portals' permission store.
struct PermissionStoreRow {
    std::string table;
    std::string id;
    std::vector<std::string> permissions;
    friend bool operator==(const PermissionStoreRow&, const PermissionStoreRow&) = default;
};

/// The permission store (`org.freedesktop.impl.portal.PermissionStore`) on the session bus at
/// `busAddress`; an empty address means no session bus, and then nothing is found.
struct PermissionStore {
    std::string busAddress;

    /// The app's rows of the tables the audit reads (devices/camera, location/location,
    /// screenshot/screenshot, background/background, notifications/notification). A missing
    /// store, table or row contributes nothing.
    [[nodiscard]] std::vector<PermissionStoreRow> rowsOf(const std::string& appID) const;
    /// Removes the app's permissions from every row `rowsOf` names.
    [[nodiscard]] support::Status removeRowsOf(const std::string& appID) const;
};

/// The session bus: $DBUS_SESSION_BUS_ADDRESS, else the socket $XDG_RUNTIME_DIR/bus when it
/// exists; an empty address when there is none (no bus is ever started).
std::string sessionBusAddress(const EnvironmentLookup& environment = processEnvironment());

}  // namespace quillo::platform
