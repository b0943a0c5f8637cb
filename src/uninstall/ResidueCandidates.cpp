#include "uninstall/ResidueCandidates.h"

#include <array>

#include "platform/DirectoryWalker.h"

namespace quillo {

namespace {

constexpr std::array kFoldersNamedByIdentifier{
    "Application Support", "Caches", "Containers", "HTTPStorages", "WebKit", "Logs",
    "Application Scripts",
};
constexpr std::array kFoldersNamedByName{"Application Support", "Caches", "Logs"};

struct NamedFile {
    const char* folder;
    const char* suffix;
};

constexpr std::array kUserFilesNamedByIdentifier{
    NamedFile{"Preferences", ".plist"},
    NamedFile{"Preferences", ".helper.plist"},
    NamedFile{"Saved Application State", ".savedState"},
    NamedFile{"Cookies", ".binarycookies"},
    NamedFile{"HTTPStorages", ".binarycookies"},
    NamedFile{"LaunchAgents", ".plist"},
};
constexpr std::array kSystemFilesNamedByIdentifier{
    NamedFile{"LaunchAgents", ".plist"},
    NamedFile{"LaunchDaemons", ".plist"},
};

template <class Matches>
void appendListed(std::vector<std::filesystem::path>& candidates,
                  const std::filesystem::path& folder, const Matches& matches) {
    platform::listDirectory(folder, [&](std::string_view name) {
        if (matches(name)) {
            candidates.push_back(folder / name);
        }
    });
}

}  // namespace

bool isSinglePathComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::vector<std::filesystem::path> residueCandidates(const std::filesystem::path& home,
                                                     const std::filesystem::path& systemLibrary,
                                                     const std::string& bundleID,
                                                     const std::string& displayName) {
    const std::filesystem::path library = home / "Library";
    const bool usesIdentifier = isSinglePathComponent(bundleID);
    std::vector<std::filesystem::path> candidates;
    if (usesIdentifier) {
        for (const char* folder : kFoldersNamedByIdentifier) {
            candidates.push_back(library / folder / bundleID);
        }
    }
    if (isSinglePathComponent(displayName)) {
        for (const char* folder : kFoldersNamedByName) {
            candidates.push_back(library / folder / displayName);
        }
    }
    if (!usesIdentifier) {
        return candidates;
    }
    for (const auto& file : kUserFilesNamedByIdentifier) {
        candidates.push_back(library / file.folder / (bundleID + file.suffix));
    }
    for (const auto& file : kSystemFilesNamedByIdentifier) {
        candidates.push_back(systemLibrary / file.folder / (bundleID + file.suffix));
    }
    appendListed(candidates, library / "Preferences" / "ByHost",
                 [&](std::string_view name) { return name.starts_with(bundleID); });
    appendListed(candidates, library / "Group Containers",
                 [&](std::string_view name) { return name.ends_with(bundleID); });
    return candidates;
}

}  // namespace quillo
