#include <gio/gio.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/PermissionStore.h"
#include "support/TemporaryDirectory.h"

namespace quillo::platform {
namespace {

constexpr char kInterfaces[] = R"(<node>
  <interface name="org.freedesktop.DBus">
    <method name="Hello"><arg type="s" direction="out"/></method>
  </interface>
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

/// A fake permission store behind a GDBus server in this process, served from a thread of its
/// own: (table, id) → app → permissions. It answers the bus's `Hello` itself, so the store under
/// test connects exactly as to a session bus, without a bus daemon (which refuses to start for
/// an account the password database does not know).
class FakePermissionStore {
  public:
    FakePermissionStore() {
        rows_[{"devices", "camera"}] = {{"org.example.Tool", {"yes"}}, {"org.other.App", {"no"}}};
        rows_[{"location", "location"}] = {{"org.example.Tool", {"EXACT", "1700000000"}}};
        node_ = g_dbus_node_info_new_for_xml(kInterfaces, nullptr);
        context_ = g_main_context_new();
        loop_ = g_main_loop_new(context_, FALSE);
        thread_ = std::thread([this] { serve(); });
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return started_; });
    }
    ~FakePermissionStore() {
        g_main_context_invoke(context_, &FakePermissionStore::quit, loop_);
        thread_.join();
        g_main_loop_unref(loop_);
        g_main_context_unref(context_);
        g_dbus_node_info_unref(node_);
    }
    FakePermissionStore(const FakePermissionStore&) = delete;
    FakePermissionStore& operator=(const FakePermissionStore&) = delete;

    Table rows(const std::string& table, const std::string& id) {
        const std::lock_guard lock(mutex_);
        return rows_[{table, id}];
    }
    [[nodiscard]] const std::string& failure() const { return failure_; }

    [[nodiscard]] const std::string& address() const { return address_; }

  private:
    void serve() {
        g_main_context_push_thread_default(context_);
        GError* error = nullptr;
        gchar* guid = g_dbus_generate_guid();
        GDBusServer* server = g_dbus_server_new_sync(address_.c_str(), G_DBUS_SERVER_FLAGS_NONE,
                                                     guid, nullptr, nullptr, &error);
        g_free(guid);
        if (server != nullptr) {
            g_signal_connect(server, "new-connection", G_CALLBACK(&FakePermissionStore::accept),
                             this);
            g_dbus_server_start(server);
        } else {
            failure_ = error->message;
            g_error_free(error);
        }
        {
            const std::lock_guard lock(mutex_);
            started_ = true;
        }
        ready_.notify_all();
        g_main_loop_run(loop_);
        if (server != nullptr) {
            g_dbus_server_stop(server);
            g_object_unref(server);
        }
        for (GDBusConnection* connection : connections_) {
            g_object_unref(connection);
        }
        g_main_context_pop_thread_default(context_);
    }

    static gboolean quit(gpointer loop) {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
    }

    static gboolean accept(GDBusServer*, GDBusConnection* connection, gpointer data) {
        auto& store = *static_cast<FakePermissionStore*>(data);
        static const GDBusInterfaceVTable vtable{
            &FakePermissionStore::handle, nullptr, nullptr, {}};
        g_dbus_connection_register_object(connection, "/org/freedesktop/DBus",
                                          store.node_->interfaces[0], &vtable, &store, nullptr,
                                          nullptr);
        g_dbus_connection_register_object(
            connection, "/org/freedesktop/impl/portal/PermissionStore", store.node_->interfaces[1],
            &vtable, &store, nullptr, nullptr);
        store.connections_.push_back(G_DBUS_CONNECTION(g_object_ref(connection)));
        return TRUE;
    }

    static void handle(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                       const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                       gpointer data) {
        auto& store = *static_cast<FakePermissionStore*>(data);
        const std::lock_guard lock(store.mutex_);
        if (std::string_view(method) == "Hello") {
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(s)", ":1.1"));
            return;
        }
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

    testing::TemporaryDirectory folder_;
    const std::string address_ = "unix:path=" + (folder_ / "bus").string();
    GDBusNodeInfo* node_ = nullptr;
    std::vector<GDBusConnection*> connections_;
    std::map<std::pair<std::string, std::string>, Table> rows_;
    std::string failure_;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool started_ = false;
};

TEST(PermissionStoreTest, ReadsAndRemovesOnlyTheAppsRows) {
    FakePermissionStore fake;
    ASSERT_EQ(fake.failure(), "");
    const PermissionStore store{fake.address()};
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
