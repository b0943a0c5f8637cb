#include "platform/PermissionStore.h"

#include <gio/gio.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/PackageError.h"

namespace quillo::platform {

namespace {

constexpr char kService[] = "org.freedesktop.impl.portal.PermissionStore";
constexpr char kObject[] = "/org/freedesktop/impl/portal/PermissionStore";
constexpr int kCallTimeoutMs = 5000;
constexpr std::size_t kMaxPermissions = 64;

struct StoreEntry {
    const char* table;
    const char* id;
};

constexpr std::array kEntries{
    StoreEntry{"devices", "camera"},
    StoreEntry{"location", "location"},
    StoreEntry{"screenshot", "screenshot"},
    StoreEntry{"background", "background"},
    StoreEntry{"notifications", "notification"},
};

using Connection = std::unique_ptr<GDBusConnection, decltype(&g_object_unref)>;
using Variant = std::unique_ptr<GVariant, decltype(&g_variant_unref)>;

Connection connect(const std::string& address) {
    if (address.empty()) {
        return {nullptr, g_object_unref};
    }
    const auto flags =
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    return {
        g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr),
        g_object_unref};
}

Variant call(GDBusConnection* bus, const char* method, GVariant* arguments, const char* replyType,
             std::string* failure = nullptr) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, kService, kObject, kService, method, arguments, G_VARIANT_TYPE(replyType),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
    if (error != nullptr) {
        if (failure != nullptr) {
            *failure = error->message;
        }
        g_error_free(error);
    }
    return {reply, g_variant_unref};
}

std::vector<std::string> permissionsOf(GVariant* reply, const std::string& appID) {
    std::vector<std::string> permissions;
    Variant table(g_variant_get_child_value(reply, 0), g_variant_unref);
    GVariant* found = g_variant_lookup_value(table.get(), appID.c_str(), G_VARIANT_TYPE("as"));
    if (found == nullptr) {
        return permissions;
    }
    Variant values(found, g_variant_unref);
    const auto count = std::min<gsize>(g_variant_n_children(values.get()), kMaxPermissions);
    for (gsize index = 0; index < count; ++index) {
        Variant value(g_variant_get_child_value(values.get(), index), g_variant_unref);
        permissions.emplace_back(g_variant_get_string(value.get(), nullptr));
    }
    // An entry of the table without any permission is still a row of the app.
    if (permissions.empty()) {
        permissions.emplace_back();
    }
    return permissions;
}

std::vector<PermissionStoreRow> rowsOn(GDBusConnection* bus, const std::string& appID) {
    std::vector<PermissionStoreRow> rows;
    for (const auto& entry : kEntries) {
        const auto reply =
            call(bus, "Lookup", g_variant_new("(ss)", entry.table, entry.id), "(a{sas}v)");
        if (!reply) {
            continue;
        }
        auto permissions = permissionsOf(reply.get(), appID);
        if (!permissions.empty()) {
            rows.push_back({entry.table, entry.id, std::move(permissions)});
        }
    }
    return rows;
}

}  // namespace

std::vector<PermissionStoreRow> PermissionStore::rowsOf(const std::string& appID) const {
    const auto bus = connect(busAddress);
    if (!bus || !g_utf8_validate(appID.c_str(), -1, nullptr)) {
        return {};
    }
    return rowsOn(bus.get(), appID);
}

support::Status PermissionStore::removeRowsOf(const std::string& appID) const {
    const auto bus = connect(busAddress);
    if (!bus) {
        return support::Error::make(
            PackageError("Keine Verbindung zum Sitzungsbus: Die Portal-Berechtigungen bleiben."));
    }
    for (const auto& row : rowsOn(bus.get(), appID)) {
        std::string failure;
        const auto reply =
            call(bus.get(), "DeletePermission",
                 g_variant_new("(sss)", row.table.c_str(), row.id.c_str(), appID.c_str()), "()",
                 &failure);
        if (!reply) {
            return support::Error::make(PackageError("Portal-Berechtigung " + row.table + "/" +
                                                     row.id + " nicht entfernt: " + failure));
        }
    }
    return support::Unit{};
}

std::string sessionBusAddress(const EnvironmentLookup& environment) {
    if (const char* address = environment("DBUS_SESSION_BUS_ADDRESS");
        address != nullptr && address[0] != '\0') {
        return address;
    }
    // Where systemd's user manager puts the bus; GLib would try to start one otherwise.
    const char* runtime = environment("XDG_RUNTIME_DIR");
    if (runtime == nullptr || runtime[0] != '/') {
        return {};
    }
    const auto socket = std::filesystem::path(runtime) / "bus";
    std::error_code error;
    if (!std::filesystem::is_socket(socket, error)) {
        return {};
    }
    gchar* escaped = g_dbus_address_escape_value(socket.c_str());
    std::string address = std::string("unix:path=") + escaped;
    g_free(escaped);
    return address;
}

}  // namespace quillo::platform
