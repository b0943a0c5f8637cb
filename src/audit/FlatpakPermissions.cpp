#include "audit/FlatpakPermissions.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace quillo {

namespace {

using P = PrivacyPermission;

constexpr std::array kContextKeys{"shared", "sockets", "devices", "features", "filesystems"};

// A grant of the named [Context] entry, or of a subfolder of it ("xdg-pictures/Screenshots").
struct ContextRule {
    P permission;
    std::string_view key;
    std::string_view entry;
};

constexpr std::array kContextRules{
    ContextRule{P::camera, "devices", "all"},
    ContextRule{P::microphone, "sockets", "pulseaudio"},
    ContextRule{P::screenCapture, "sockets", "x11"},
    ContextRule{P::screenCapture, "sockets", "fallback-x11"},
    ContextRule{P::photos, "filesystems", "xdg-pictures"},
    ContextRule{P::photos, "filesystems", "home"},
    ContextRule{P::photos, "filesystems", "host"},
    ContextRule{P::bluetooth, "features", "bluetooth"},
    ContextRule{P::desktopFolder, "filesystems", "xdg-desktop"},
    ContextRule{P::desktopFolder, "filesystems", "home"},
    ContextRule{P::desktopFolder, "filesystems", "host"},
    ContextRule{P::documentsFolder, "filesystems", "xdg-documents"},
    ContextRule{P::documentsFolder, "filesystems", "home"},
    ContextRule{P::documentsFolder, "filesystems", "host"},
    ContextRule{P::downloadsFolder, "filesystems", "xdg-download"},
    ContextRule{P::downloadsFolder, "filesystems", "home"},
    ContextRule{P::downloadsFolder, "filesystems", "host"},
    ContextRule{P::fullDiskAccess, "filesystems", "host"},
    ContextRule{P::fullDiskAccess, "filesystems", "host-os"},
    ContextRule{P::fullDiskAccess, "filesystems", "host-etc"},
    ContextRule{P::homeFolder, "filesystems", "home"},
    ContextRule{P::homeFolder, "filesystems", "host"},
    ContextRule{P::homeFolder, "filesystems", "~"},
    ContextRule{P::inputMonitoring, "devices", "input"},
    ContextRule{P::inputMonitoring, "devices", "all"},
    ContextRule{P::network, "shared", "network"},
    ContextRule{P::sessionBus, "sockets", "session-bus"},
    ContextRule{P::systemBus, "sockets", "system-bus"},
    ContextRule{P::hostCommands, "sockets", "session-bus"},
};

enum class Bus { session, system };

// Talking to (or owning) a bus name; `isPrefix` also takes every name that begins with it.
struct BusRule {
    P permission;
    Bus bus;
    std::string_view name;
    bool isPrefix;
};

constexpr std::array kBusRules{
    BusRule{P::location, Bus::system, "org.freedesktop.GeoClue2", false},
    BusRule{P::contacts, Bus::session, "org.gnome.evolution.dataserver.AddressBook", true},
    BusRule{P::calendars, Bus::session, "org.gnome.evolution.dataserver.Calendar", true},
    BusRule{P::bluetooth, Bus::system, "org.bluez", false},
    BusRule{P::hostCommands, Bus::session, "org.freedesktop.Flatpak", false},
};

struct PortalRule {
    P permission;
    std::string_view table;
    std::string_view id;
};

constexpr std::array kPortalRules{
    PortalRule{P::camera, "devices", "camera"},
    PortalRule{P::location, "location", "location"},
    PortalRule{P::screenCapture, "screenshot", "screenshot"},
    PortalRule{P::background, "background", "background"},
    PortalRule{P::notifications, "notifications", "notification"},
};

struct SnapRule {
    P permission;
    std::string_view interface;
};

constexpr std::array kSnapRules{
    SnapRule{P::camera, "camera"},
    SnapRule{P::microphone, "audio-record"},
    SnapRule{P::microphone, "pulseaudio"},
    SnapRule{P::screenCapture, "x11"},
    SnapRule{P::screenCapture, "screencast-legacy"},
    SnapRule{P::location, "location-observe"},
    SnapRule{P::location, "location-control"},
    SnapRule{P::contacts, "contacts-service"},
    SnapRule{P::calendars, "calendar-service"},
    SnapRule{P::bluetooth, "bluez"},
    SnapRule{P::bluetooth, "bluetooth-control"},
    SnapRule{P::homeFolder, "home"},
    SnapRule{P::inputMonitoring, "raw-input"},
    SnapRule{P::inputMonitoring, "joystick"},
    SnapRule{P::network, "network"},
    SnapRule{P::network, "network-bind"},
};

std::string withoutMode(const std::string& entry) {
    for (const std::string_view mode : {":ro", ":rw", ":create"}) {
        if (entry.ends_with(mode)) {
            return entry.substr(0, entry.size() - mode.size());
        }
    }
    return entry;
}

bool reaches(std::string_view granted, std::string_view entry) {
    // "~" alone is the whole home folder; "~/Music" is not.
    return granted == entry ||
           (entry != "~" && granted.starts_with(entry) && granted[entry.size()] == '/');
}

bool busNameReaches(std::string_view granted, const BusRule& rule) {
    if (granted.ends_with(".*")) {
        const auto stem = granted.substr(0, granted.size() - 2);
        return rule.name == stem || (rule.name.starts_with(stem) && rule.name[stem.size()] == '.');
    }
    return rule.isPrefix ? granted.starts_with(rule.name) : granted == rule.name;
}

bool grantsAccess(std::string_view policy) {
    return policy == "talk" || policy == "own";
}

// Portal rows say "yes" for a grant; a location row holds the accuracy, "NONE" meaning refused.
bool grantsPortal(const platform::PermissionStoreRow& row) {
    if (row.permissions.empty()) {
        return false;
    }
    const auto& first = row.permissions.front();
    return row.table == "location" ? first != "NONE" : first == "yes";
}

void addLine(std::map<P, std::vector<std::string>>& lines, P permission, std::string line) {
    auto& list = lines[permission];
    if (std::ranges::find(list, line) == list.end()) {
        list.push_back(std::move(line));
    }
}

std::vector<DeclaredPermission> declarations(const std::map<P, std::vector<std::string>>& lines) {
    std::vector<DeclaredPermission> declared;
    for (const auto permission : allPrivacyPermissions) {
        const auto found = lines.find(permission);
        if (found == lines.end()) {
            continue;
        }
        std::string text;
        for (const auto& line : found->second) {
            text += (text.empty() ? "" : ", ") + line;
        }
        declared.push_back({Uuid::random(), permission, std::move(text)});
    }
    return declared;
}

void applyBusPolicy(const platform::KeyFile& layer, const std::string& group,
                    std::map<std::string, std::string>& policies) {
    for (const auto& name : layer.keys(group)) {
        if (const auto policy = layer.string(group, name)) {
            policies[name] = *policy;
        }
    }
}

void applyOverride(FlatpakPermissions& permissions, const std::filesystem::path& file) {
    if (const auto layer = platform::KeyFile::read(file)) {
        permissions.apply(*layer);
    }
}

}  // namespace

void FlatpakPermissions::apply(const platform::KeyFile& layer) {
    for (const std::string key : kContextKeys) {
        for (const auto& value : layer.stringList("Context", key)) {
            const bool negated = value.starts_with('!');
            const auto entry = withoutMode(negated ? value.substr(1) : value);
            if (negated) {
                context[key].erase(entry);
            } else {
                context[key][entry] = std::string(key).append("=").append(value);
            }
        }
    }
    applyBusPolicy(layer, "Session Bus Policy", sessionBus);
    applyBusPolicy(layer, "System Bus Policy", systemBus);
}

FlatpakPermissions effectivePermissions(const platform::PackagedApplication& app,
                                        const FlatpakOverrideFolders& overrides) {
    FlatpakPermissions permissions;
    applyOverride(permissions, app.deployment / "metadata");
    applyOverride(permissions, overrides.system / "global");
    if (app.installation != platform::kUserInstallation) {
        applyOverride(permissions, app.installationPath / "overrides" / app.id);
    }
    applyOverride(permissions, overrides.user / "global");
    applyOverride(permissions, overrides.user / app.id);
    return permissions;
}

std::vector<DeclaredPermission> flatpakDeclarations(
    const FlatpakPermissions& permissions, const std::vector<platform::PermissionStoreRow>& rows) {
    std::map<P, std::vector<std::string>> lines;
    for (const auto& rule : kContextRules) {
        const auto granted = permissions.context.find(std::string(rule.key));
        if (granted == permissions.context.end()) {
            continue;
        }
        for (const auto& [entry, line] : granted->second) {
            if (reaches(entry, rule.entry)) {
                addLine(lines, rule.permission, line);
            }
        }
    }
    for (const auto& rule : kBusRules) {
        const bool onSession = rule.bus == Bus::session;
        const auto& policies = onSession ? permissions.sessionBus : permissions.systemBus;
        for (const auto& [name, policy] : policies) {
            if (grantsAccess(policy) && busNameReaches(name, rule)) {
                addLine(lines, rule.permission,
                        std::string(onSession ? "[Session Bus Policy] " : "[System Bus Policy] ")
                            .append(name)
                            .append("=")
                            .append(policy));
            }
        }
    }
    for (const auto& rule : kPortalRules) {
        for (const auto& row : rows) {
            if (row.table == rule.table && row.id == rule.id && grantsPortal(row)) {
                addLine(lines, rule.permission,
                        "Portal " + row.table + "/" + row.id + "=" + row.permissions.front());
            }
        }
    }
    return declarations(lines);
}

std::vector<DeclaredPermission> snapDeclarations(const std::vector<std::string>& interfaces) {
    std::map<P, std::vector<std::string>> lines;
    for (const auto& rule : kSnapRules) {
        if (std::ranges::find(interfaces, rule.interface) != interfaces.end()) {
            addLine(lines, rule.permission, "plug " + std::string(rule.interface));
        }
    }
    return declarations(lines);
}

}  // namespace quillo
