#include "platform/FileManagerReveal.h"

#include <gio/gio.h>

#include <memory>
#include <string>
#include <variant>

#include "platform/ChildProcess.h"
#include "platform/ExecutableSearch.h"

namespace quillo::platform {

namespace {

constexpr int kCallTimeoutMilliseconds = 5000;

template <class T, void (*release)(T*)>
struct Releaser {
    void operator()(T* value) const { release(value); }
};
void unrefObject(GDBusConnection* connection) {
    g_object_unref(connection);
}
using Connection = std::unique_ptr<GDBusConnection, Releaser<GDBusConnection, unrefObject>>;
using Text = std::unique_ptr<gchar, Releaser<void, g_free>>;
using Failure = std::unique_ptr<GError, Releaser<GError, g_error_free>>;

// Own connection to the named bus, so that no process-wide bus (nor its autolaunch) is used.
bool selectThroughFileManager1(const std::filesystem::path& item, const char* address) {
    GError* rawError = nullptr;
    const Connection bus(g_dbus_connection_new_for_address_sync(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &rawError));
    Failure error(rawError);
    if (!bus) {
        return false;
    }
    const Text uri(g_filename_to_uri(item.c_str(), nullptr, nullptr));
    if (!uri) {
        return false;
    }
    const gchar* uris[] = {uri.get(), nullptr};
    rawError = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        bus.get(), "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
        "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(^ass)", uris, ""), nullptr,
        G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMilliseconds, nullptr, &rawError);
    error.reset(rawError);
    if (reply == nullptr) {
        return false;
    }
    g_variant_unref(reply);
    return true;
}

bool openFolder(const std::filesystem::path& folder, const EnvironmentLookup& environment) {
    const auto opener = findExecutable("xdg-open", environment);
    if (opener.empty()) {
        return false;
    }
    const auto outcome = runChildToCompletion(opener.string(), {folder.string()});
    const auto* finished = std::get_if<ChildOutcome>(&outcome);
    return finished != nullptr && finished->status == 0;
}

}  // namespace

RevealOutcome showInFileManager(const std::filesystem::path& item,
                                const EnvironmentLookup& environment) {
    if (const char* address = environment("DBUS_SESSION_BUS_ADDRESS");
        address != nullptr && *address != '\0' && selectThroughFileManager1(item, address)) {
        return RevealOutcome::fileManagerSelected;
    }
    return openFolder(item.parent_path(), environment) ? RevealOutcome::folderOpened
                                                       : RevealOutcome::failed;
}

}  // namespace quillo::platform
