#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

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

constexpr const char* kEmpty = "Löschen verweigert: Der Pfad ist leer.";
constexpr const char* kNulByte = "Löschen verweigert: Der Pfad enthält ein Nullzeichen.";
constexpr const char* kRelative = "Löschen verweigert: Der Pfad ist nicht absolut.";
constexpr const char* kDotComponent =
    "Löschen verweigert: Der Pfad enthält einen Bestandteil „.“ oder „..“.";
constexpr const char* kRootFolder = "Löschen verweigert: Das ist das Wurzelverzeichnis.";
constexpr const char* kSystemFolder = "Löschen verweigert: Das ist ein Systemordner.";
constexpr const char* kHomeFolder = "Löschen verweigert: Das ist der Benutzerordner.";
constexpr const char* kContainsHome = "Löschen verweigert: Der Ordner enthält den Benutzerordner.";

bool equalIgnoringASCIICase(std::string_view left, std::string_view right) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                      [&](char l, char r) { return lower(l) == lower(r); });
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
    return std::nullopt;
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

}  // namespace

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
