#include <pwd.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/DeletionScope.h"
#include "platform/PathText.h"
#include "platform/SafeFileOperations.h"

namespace quillo::platform {

namespace {

using Components = std::vector<std::string_view>;

// Folders of the system whose removal would break it, on Linux and on macOS, where some live
// below "/private" and are reached through links. Compared without regard to ASCII case, as
// macOS volumes usually ignore it.
constexpr auto kSystemFolders = std::to_array<std::string_view>({
    "/Applications",
    "/Library",
    "/Library/Application Support",
    "/Library/Caches",
    "/Library/Logs",
    "/Network",
    "/System",
    "/System/Library",
    "/Users",
    "/Volumes",
    "/bin",
    "/boot",
    "/cores",
    "/dev",
    "/etc",
    "/home",
    "/lib",
    "/lib32",
    "/lib64",
    "/libx32",
    "/lost+found",
    "/media",
    "/mnt",
    "/opt",
    "/private",
    "/private/etc",
    "/private/tmp",
    "/private/var",
    "/private/var/db",
    "/private/var/folders",
    "/private/var/log",
    "/private/var/tmp",
    "/private/var/vm",
    "/proc",
    "/root",
    "/run",
    "/sbin",
    "/snap",
    "/srv",
    "/sys",
    "/tmp",
    "/usr",
    "/usr/bin",
    "/usr/include",
    "/usr/lib",
    "/usr/lib64",
    "/usr/libexec",
    "/usr/local",
    "/usr/sbin",
    "/usr/share",
    "/var",
    "/var/cache",
    "/var/db",
    "/var/folders",
    "/var/lib",
    "/var/log",
    "/var/spool",
    "/var/tmp",
    "/var/vm",
});

// Top-level folders of the system: nothing below them is deleted unless an area strictly inside
// them covers it. The shared temporary folder and the mount folders are no system data.
constexpr auto kSystemTrees = std::to_array<std::string_view>({
    "Applications", "Library", "Network", "System", "bin",    "boot", "cores",   "dev",
    "etc",          "lib",     "lib32",   "lib64",  "libx32", "opt",  "private", "proc",
    "root",         "run",     "sbin",    "snap",   "srv",    "sys",  "usr",     "var",
});

// Where the homes of people live; a folder directly inside is somebody's home.
constexpr auto kHomeParents = std::to_array<std::string_view>({"home", "Users"});

// The account database's people: root and the ordinary users' range.
constexpr uid_t kFirstOrdinaryUser = 1000;
constexpr uid_t kNobody = 65534;

constexpr const char* kEmpty = "Löschen verweigert: Der Pfad ist leer.";
constexpr const char* kNulByte = "Löschen verweigert: Der Pfad enthält ein Nullzeichen.";
constexpr const char* kRelative = "Löschen verweigert: Der Pfad ist nicht absolut.";
constexpr const char* kDotComponent =
    "Löschen verweigert: Der Pfad enthält einen Bestandteil „.“ oder „..“.";
constexpr const char* kRootFolder = "Löschen verweigert: Das ist das Wurzelverzeichnis.";
constexpr const char* kSystemFolder = "Löschen verweigert: Das ist ein Systemordner.";
constexpr const char* kHomeFolder = "Löschen verweigert: Das ist der Benutzerordner.";
constexpr const char* kContainsHome = "Löschen verweigert: Der Ordner enthält den Benutzerordner.";
constexpr const char* kOtherHome =
    "Löschen verweigert: Der Pfad liegt im Benutzerordner eines anderen Benutzers.";
constexpr const char* kSystemTree = "Löschen verweigert: Der Pfad liegt in einem Systemordner.";
constexpr const char* kKept =
    "Löschen verweigert: Der Pfad ist ausgenommen oder enthält einen ausgenommenen Pfad.";
constexpr const char* kOutsideAreas =
    "Löschen verweigert: Der Pfad liegt außerhalb der Ordner dieses Moduls.";

bool equalIgnoringASCIICase(std::string_view left, std::string_view right) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                      [&](char l, char r) { return lower(l) == lower(r); });
}

bool startsWith(const Components& path, const Components& prefix) {
    return prefix.size() <= path.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

// The homes of root and of every ordinary user in the account database, read once: accounts do
// not come and go while a deletion runs.
const std::vector<std::string>& accountHomes() {
    static const std::vector<std::string> homes = [] {
        std::vector<std::string> found;
        static std::mutex databaseLock;  // getpwent keeps its position in the process
        const std::lock_guard lock(databaseLock);
        ::setpwent();
        while (const struct passwd* entry = ::getpwent()) {
            const bool isPerson = entry->pw_uid == 0 ||
                                  (entry->pw_uid >= kFirstOrdinaryUser && entry->pw_uid != kNobody);
            const std::string_view home = entry->pw_dir != nullptr ? entry->pw_dir : "";
            if (isPerson && home.starts_with('/') && !pathComponents(home).empty()) {
                found.emplace_back(home);
            }
        }
        ::endpwent();
        return found;
    }();
    return homes;
}

// Whether `item` lies in (or is) the home of somebody other than the owner of `home`.
bool isInOtherHome(const Components& item, const Components& home) {
    const auto isOther = [&](const Components& otherHome) {
        return !otherHome.empty() && startsWith(item, otherHome) && !startsWith(home, otherHome);
    };
    if (item.size() >= 2 &&
        std::find(kHomeParents.begin(), kHomeParents.end(), item[0]) != kHomeParents.end()) {
        if (isOther({item[0], item[1]})) {
            return true;
        }
    }
    return std::any_of(accountHomes().begin(), accountHomes().end(),
                       [&](const std::string& other) { return isOther(pathComponents(other)); });
}

bool isSystemFolder(const Components& components) {
    std::string normal;
    for (const std::string_view component : components) {
        normal += '/';
        normal += component;
    }
    return std::any_of(kSystemFolders.begin(), kSystemFolders.end(), [&](std::string_view folder) {
        return equalIgnoringASCIICase(folder, normal);
    });
}

// The reason against removing the absolute, dot-free path made of `item`, judged by its text.
std::optional<std::string> reasonForComponents(const Components& item, const Components& home) {
    if (item.empty()) {
        return kRootFolder;
    }
    if (isSystemFolder(item)) {
        return kSystemFolder;
    }
    if (!home.empty() && item.size() <= home.size() &&
        std::equal(item.begin(), item.end(), home.begin())) {
        return item.size() == home.size() ? kHomeFolder : kContainsHome;
    }
    if (isInOtherHome(item, home)) {
        return kOtherHome;
    }
    return std::nullopt;
}

// Whether an area covers the item at `item`: strictly inside it, or the area itself when it
// includes itself.
bool covers(const Components& area, bool includesItself, const Components& item) {
    return startsWith(item, area) && (item.size() > area.size() || includesItself);
}

// The system tree `item` lies in, when no area strictly inside that tree covers it.
bool isInUncoveredSystemTree(const Components& item, const std::vector<DeletionArea>& areas) {
    if (item.size() < 2 ||
        std::none_of(kSystemTrees.begin(), kSystemTrees.end(), [&](std::string_view tree) {
            return equalIgnoringASCIICase(tree, item[0]);
        })) {
        return false;
    }
    return std::none_of(areas.begin(), areas.end(), [&](const DeletionArea& area) {
        const Components areaParts = pathComponents(area.path.native());
        return areaParts.size() >= 2 && equalIgnoringASCIICase(areaParts[0], item[0]) &&
               covers(areaParts, area.includesItself, item);
    });
}

// The path with every link resolved, or nothing when that fails.
std::optional<std::string> resolved(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real) {
        return std::nullopt;
    }
    return std::string(real.get());
}

Components homeComponents(const std::string& home) {
    if (home.empty() || home.front() != '/') {
        return {};
    }
    Components components = pathComponents(home);
    return hasDotComponent(components) ? Components() : components;
}

// The item with the links in its parent folders resolved (the last component stays as it is, a
// link being removed as itself); nothing when the parent cannot be resolved.
std::optional<std::string> withResolvedParent(const std::string& item) {
    const std::string text = withoutTrailingSlashes(item);
    const std::size_t slash = text.rfind('/');
    const std::string parent = slash == 0 ? "/" : text.substr(0, slash);
    std::optional<std::string> real = resolved(parent);
    if (!real) {
        return std::nullopt;
    }
    return joinedPath(std::move(*real), text.substr(slash + 1));
}

}  // namespace

std::optional<DeletionArea> coveringArea(const std::filesystem::path& item,
                                         const std::vector<DeletionArea>& areas) {
    const Components itemParts = pathComponents(item.native());
    std::optional<DeletionArea> deepest;
    std::size_t deepestSize = 0;
    for (const DeletionArea& area : areas) {
        const Components areaParts = pathComponents(area.path.native());
        const bool absolute = area.path.native().starts_with('/');
        if (absolute && !hasDotComponent(areaParts) &&
            covers(areaParts, area.includesItself, itemParts) &&
            (!deepest || areaParts.size() > deepestSize)) {
            deepest = area;
            deepestSize = areaParts.size();
        }
    }
    return deepest;
}

std::optional<std::string> deletionRefusalReason(const std::filesystem::path& item,
                                                 const DeletionScope& scope) {
    if (auto reason = refusalReason(item, scope.home)) {
        return reason;
    }
    if (scope.kept && scope.kept->touches(item.native())) {
        return kKept;
    }
    if (!coveringArea(item, scope.areas)) {
        return kOutsideAreas;
    }
    if (isInUncoveredSystemTree(pathComponents(item.native()), scope.areas)) {
        return kSystemTree;
    }
    return std::nullopt;
}

std::optional<std::string> realPlaceRefusalReason(const std::filesystem::path& item,
                                                  const std::optional<std::string>& realFolder,
                                                  const DeletionScope& scope) {
    const std::optional<std::string> real =
        realFolder ? joinedPath(*realFolder, pathComponents(item.native()).back())
                   : withResolvedParent(item.native());
    if (real && isInUncoveredSystemTree(pathComponents(*real), scope.areas)) {
        return kSystemTree;
    }
    return std::nullopt;
}

std::optional<std::string> refusalReason(const std::filesystem::path& item,
                                         const std::filesystem::path& home) {
    const std::string& text = item.native();
    if (text.empty()) {
        return kEmpty;
    }
    if (text.find('\0') != std::string::npos) {
        return kNulByte;
    }
    if (text.front() != '/') {
        return kRelative;
    }
    const Components components = pathComponents(text);
    if (hasDotComponent(components)) {
        return kDotComponent;
    }
    const std::string homeText = home.lexically_normal().native();
    if (auto reason = reasonForComponents(components, homeComponents(homeText))) {
        return reason;
    }
    // A folder can also be one of these under another name, through links in its parents; a
    // link itself is harmless, since only the link would be removed.
    struct stat status {};
    if (::lstat(withoutTrailingSlashes(text).c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    const std::optional<std::string> realItem = resolved(text);
    if (!realItem) {
        return std::nullopt;
    }
    const std::optional<std::string> realHome = resolved(homeText);
    const std::string realHomeText = realHome.value_or(std::string());
    return reasonForComponents(pathComponents(*realItem), homeComponents(realHomeText));
}

}  // namespace quillo::platform
