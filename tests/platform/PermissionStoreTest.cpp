#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

#include "platform/ExecutableSearch.h"
#include "platform/PermissionStore.h"

namespace quillo::platform {
namespace {

constexpr char kInterface[] = R"(<node>
  <interface name="org.freedesktop.impl.portal.PermissionStore">
    <method name="Lookup">
      <arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="a{sas}" direction="out"/><arg type="v" direction="out"/>
    </method>
    <method name="DeletePermission">
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/>
    </method>
  </interface>
</node>)";

using Table = std::map<std::string, std::vector<std::string>>;

/// A private session bus (`dbus-daemon --session`) with a fake permission store on it, served
/// from a thread of its own: (table, id) → app → permissions.
class FakePermissionStore {
  public:
    FakePermissionStore() {
        FILE* daemon = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
        char line[512] = {};
        if (daemon != nullptr && std::fgets(line, sizeof(line), daemon) != nullptr) {
            address = std::string(line).substr(0, std::string(line).find('\n'));
            if (std::fgets(line, sizeof(line), daemon) != nullptr) {
                daemonPid_ = std::atoi(line);
            }
        }
        if (daemon != nullptr) {
            ::pclose(daemon);
        }
        if (address.empty()) {
            return;
        }
        rows_[{"devices", "camera"}] = {{"org.example.Tool", {"yes"}}, {"org.other.App", {"no"}}};
        rows_[{"location", "location"}] = {{"org.example.Tool", {"EXACT", "1700000000"}}};
        context_ = g_main_context_new();
        loop_ = g_main_loop_new(context_, FALSE);
        thread_ = std::thread([this] { serve(); });
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return serving_; });
    }
    ~FakePermissionStore() {
        if (loop_ != nullptr) {
            g_main_loop_quit(loop_);
            thread_.join();
            g_main_loop_unref(loop_);
            g_main_context_unref(context_);
        }
        if (daemonPid_ > 0) {
            ::kill(daemonPid_, SIGTERM);
        }
    }
    Table rows(const std::string& table, const std::string& id) {
        const std::lock_guard lock(mutex_);
        return rows_[{table, id}];
    }

    std::string address;

  private:
    void serve() {
        g_main_context_push_thread_default(context_);
        const auto flags =
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        GDBusConnection* bus = g_dbus_connection_new_for_address_sync(address.c_str(), flags,
                                                                      nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kInterface, nullptr);
        static const GDBusInterfaceVTable vtable{
            &FakePermissionStore::handle, nullptr, nullptr, {}};
        g_dbus_connection_register_object(bus, "/org/freedesktop/impl/portal/PermissionStore",
                                          node->interfaces[0], &vtable, this, nullptr, nullptr);
        GVariant* owned = g_dbus_connection_call_sync(
            bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", "org.freedesktop.impl.portal.PermissionStore", 0U),
            nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        g_variant_unref(owned);
        {
            const std::lock_guard lock(mutex_);
            serving_ = true;
        }
        ready_.notify_all();
        g_main_loop_run(loop_);
        g_object_unref(bus);
        g_dbus_node_info_unref(node);
        g_main_context_pop_thread_default(context_);
    }

    static void handle(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                       const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                       gpointer data) {
        auto& store = *static_cast<FakePermissionStore*>(data);
        const std::lock_guard lock(store.mutex_);
        if (std::string_view(method) == "Lookup") {
            const gchar* table = nullptr;
            const gchar* id = nullptr;
            g_variant_get(parameters, "(&s&s)", &table, &id);
            const auto found = store.rows_.find({table, id});
            if (found == store.rows_.end()) {
                g_dbus_method_invocation_return_dbus_error(
                    invocation, "org.freedesktop.portal.Error.NotFound", "No entry");
                return;
            }
            GVariantBuilder apps;
            g_variant_builder_init(&apps, G_VARIANT_TYPE("a{sas}"));
            for (const auto& [app, permissions] : found->second) {
                GVariantBuilder values;
                g_variant_builder_init(&values, G_VARIANT_TYPE("as"));
                for (const auto& value : permissions) {
                    g_variant_builder_add(&values, "s", value.c_str());
                }
                g_variant_builder_add(&apps, "{sas}", app.c_str(), &values);
            }
            g_dbus_method_invocation_return_value(
                invocation, g_variant_new("(a{sas}v)", &apps, g_variant_new_byte(0)));
            return;
        }
        const gchar* table = nullptr;
        const gchar* id = nullptr;
        const gchar* app = nullptr;
        g_variant_get(parameters, "(&s&s&s)", &table, &id, &app);
        store.rows_[{table, id}].erase(app);
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }

    pid_t daemonPid_ = -1;
    std::map<std::pair<std::string, std::string>, Table> rows_;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool serving_ = false;
};

TEST(PermissionStoreTest, ReadsAndRemovesOnlyTheAppsRows) {
    if (findExecutable("dbus-daemon").empty()) {
        GTEST_SKIP() << "dbus-daemon is not installed: no private session bus";
    }
    FakePermissionStore fake;
    ASSERT_FALSE(fake.address.empty());
    const PermissionStore store{fake.address};
    const std::vector<PermissionStoreRow> expected{
        {"devices", "camera", {"yes"}},
        {"location", "location", {"EXACT", "1700000000"}},
    };
    EXPECT_EQ(store.rowsOf("org.example.Tool"), expected);
    EXPECT_TRUE(store.rowsOf("org.none.App").empty());
    ASSERT_TRUE(store.removeRowsOf("org.example.Tool"));
    EXPECT_TRUE(store.rowsOf("org.example.Tool").empty());
    EXPECT_EQ(fake.rows("devices", "camera"), (Table{{"org.other.App", {"no"}}}));
}

TEST(PermissionStoreTest, WithoutASessionBusNothingIsFoundAndNothingRemoved) {
    const PermissionStore none{""};
    EXPECT_TRUE(none.rowsOf("org.example.Tool").empty());
    EXPECT_FALSE(none.removeRowsOf("org.example.Tool"));
    EXPECT_EQ(sessionBusAddress([](const char*) -> const char* { return nullptr; }), "");
}

}  // namespace
}  // namespace quillo::platform
