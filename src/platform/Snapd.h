#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/PackagedApplication.h"
#include "support/Result.h"

namespace quillo::platform {

/// snapd's REST API: HTTP over its Unix socket.
struct Snapd {
    std::filesystem::path socket = "/run/snapd.socket";
    /// How long one request may take to be answered.
    std::chrono::milliseconds timeout{5000};
    /// The pause between two looks at a running change (removals ask polkit, which may take
    /// the user a while).
    std::function<void(std::chrono::milliseconds)> pause;
    /// How often a change is looked at before the removal counts as failed.
    int maxPolls = 1200;

    /// The installed application snaps (type "app"), by name; none where snapd does not answer.
    [[nodiscard]] std::vector<PackagedApplication> applications() const;
    /// The interfaces of the snap's established connections (plugs of the snap).
    [[nodiscard]] std::vector<std::string> connectedInterfaces(const std::string& name) const;
    /// Removes the snap with its data ("purge"), letting polkit ask the user, and waits for
    /// the change to end. Fails with snapd's message.
    [[nodiscard]] support::Status remove(const std::string& name) const;
};

/// snapd's rule for snap names: 1 to 40 of "a-z", "0-9" and "-", at least one letter, no
/// leading, trailing or doubled "-".
bool isSnapName(std::string_view name);

/// The socket's Snapd with a real sleeping pause.
Snapd systemSnapd();

}  // namespace quillo::platform
