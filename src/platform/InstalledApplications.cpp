#include "platform/InstalledApplications.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <utility>

#include "platform/SystemTool.h"
#include "support/TextPieces.h"

namespace quillo::platform {

namespace {

constexpr char kDefaultDataDirectories[] = "/usr/local/share:/usr/share";
constexpr char kSystemFlatpakInstallation[] = "/var/lib/flatpak";
constexpr char kFlatpakTool[] = "/usr/bin/flatpak";

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isComponentCharacter(char c) {
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

std::vector<std::filesystem::path> dataDirectories(const EnvironmentLookup& environment) {
    const char* configured = environment("XDG_DATA_DIRS");
    const std::string_view list =
        configured != nullptr && configured[0] != '\0' ? configured : kDefaultDataDirectories;
    std::vector<std::filesystem::path> folders;
    for (const auto folder : support::nonEmptyPieces(list, ':')) {
        // Relative entries are invalid and ignored.
        if (folder.starts_with('/')) {
            folders.emplace_back(folder);
        }
    }
    return folders;
}

/// The one answer of a question that the tool and its deadline race to give.
class PendingAnswer final {
  public:
    explicit PendingAnswer(std::function<void(bool)> answer) : answer_(std::move(answer)) {}

    void give(bool installed) {
        if (given_.exchange(true)) {
            return;
        }
        deadline_.cancel();
        answer_(installed);
    }
    [[nodiscard]] support::CancellationToken deadline() const { return deadline_.token(); }

  private:
    std::atomic<bool> given_{false};
    support::CancellationSource deadline_;
    std::function<void(bool)> answer_;
};

void askFlatpak(const InstalledApplicationSources& sources, support::Sleeper& sleeper,
                const std::string& identifier, std::function<void(bool)> answer) {
    auto pending = std::make_shared<PendingAnswer>(std::move(answer));
    sleeper.sleep(sources.toolDeadline, pending->deadline(),
                  [pending](const support::Result<support::Unit>& waited) {
                      if (waited) {
                          pending->give(true);
                      }
                  });
    runTool(sources.flatpakTool.string(), {"info", identifier},
            [pending](const support::Result<std::string>& ran) { pending->give(ran.ok()); });
}

}  // namespace

bool isApplicationID(std::string_view name) {
    std::size_t components = 0;
    std::size_t start = 0;
    while (true) {
        const auto end = std::min(name.find('.', start), name.size());
        const auto component = name.substr(start, end - start);
        const auto allowed = components == 0 ? isAsciiLetter : isComponentCharacter;
        if (component.empty() || !std::ranges::all_of(component, allowed)) {
            return false;
        }
        ++components;
        if (end == name.size()) {
            return components >= 3;
        }
        start = end + 1;
    }
}

InstalledApplicationSources defaultInstalledApplicationSources(
    const EnvironmentLookup& environment) {
    const auto dataHome = applicationSupportFolder(environment);
    std::vector<std::filesystem::path> folders{dataHome / "applications"};
    for (const auto& folder : dataDirectories(environment)) {
        folders.push_back(folder / "applications");
    }
    for (const auto& installation :
         {dataHome / "flatpak", std::filesystem::path(kSystemFlatpakInstallation)}) {
        folders.push_back(installation / "exports/share/applications");
    }
    return InstalledApplicationSources{
        .desktopEntryFolders = std::move(folders),
        .flatpakInstallations = flatpakInstallations(defaultFlatpakLocations(environment)),
        .flatpakTool = kFlatpakTool};
}

bool hasDesktopEntry(const std::vector<std::filesystem::path>& folders,
                     std::string_view identifier) {
    if (identifier.empty() || identifier.find('/') != std::string_view::npos) {
        return false;
    }
    const auto entryName = std::string(identifier) + ".desktop";
    return std::ranges::any_of(folders, [&](const std::filesystem::path& folder) {
        std::error_code error;
        return std::filesystem::is_regular_file(folder / entryName, error);
    });
}

InstalledApplicationCheck installedApplicationCheck(InstalledApplicationSources sources,
                                                    std::shared_ptr<support::Sleeper> sleeper) {
    return [sources = std::move(sources), sleeper = std::move(sleeper)](
               const std::string& identifier, std::function<void(bool)> answer) {
        if (hasDesktopEntry(sources.desktopEntryFolders, identifier) ||
            std::ranges::any_of(sources.flatpakInstallations, [&](const auto& installation) {
                return isDeployed(installation, identifier);
            })) {
            answer(true);
            return;
        }
        std::error_code error;
        // Flatpak knows nothing but application IDs, and any other name could be read as an
        // option of the tool.
        if (!isApplicationID(identifier) || sources.flatpakTool.empty() ||
            !std::filesystem::is_regular_file(sources.flatpakTool, error)) {
            answer(false);
            return;
        }
        askFlatpak(sources, *sleeper, identifier, std::move(answer));
    };
}

}  // namespace quillo::platform
