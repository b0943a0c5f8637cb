#include "platform/FlatpakInstallations.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <system_error>
#include <utility>

#include "platform/DirectoryWalker.h"
#include "platform/InstalledApplications.h"
#include "platform/KeyFile.h"

namespace quillo::platform {

namespace {

constexpr std::size_t kMaxMetainfoBytes = std::size_t{4} << 20;
constexpr std::size_t kMaxNameBytes = 200;
constexpr std::array kExtensionSuffixes{".Debug", ".Locale", ".Sources"};
constexpr std::array kIconSizes{"scalable", "512x512", "256x256", "128x128",
                                "64x64",    "48x48",   "32x32"};
constexpr std::array kIconExtensions{".svg", ".png"};

std::filesystem::path variableOr(const EnvironmentLookup& environment, const char* name,
                                 std::filesystem::path fallback) {
    const char* value = environment(name);
    return value != nullptr && value[0] == '/' ? std::filesystem::path(value) : std::move(fallback);
}

bool isInstallationName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && std::ranges::all_of(name, [](char c) {
        return g_ascii_isalnum(c) || c == '.' || c == '_' || c == '-';
    });
}

std::vector<std::string> sortedNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    listDirectory(folder, [&](std::string_view name) { names.emplace_back(name); });
    std::ranges::sort(names);
    return names;
}

void appendExtraInstallations(const std::filesystem::path& file,
                              std::vector<FlatpakInstallation>& installations) {
    const auto config = KeyFile::read(file);
    if (!config) {
        return;
    }
    constexpr std::string_view prefix = "Installation \"";
    for (const auto& group : config->groups()) {
        if (!group.starts_with(prefix) || !group.ends_with('"')) {
            continue;
        }
        const auto name = group.substr(prefix.size(), group.size() - prefix.size() - 1);
        const auto path = config->string(group, "Path");
        if (!isInstallationName(name) || !path || !path->starts_with('/')) {
            continue;
        }
        const auto label = config->localeString(group, "DisplayName");
        installations.push_back({name, label && !label->empty() ? *label : name, *path});
    }
}

bool isExtension(std::string_view id) {
    return std::ranges::any_of(kExtensionSuffixes,
                               [&](std::string_view suffix) { return id.ends_with(suffix); });
}

std::optional<std::string> shownName(std::optional<std::string> name) {
    if (!name || name->empty() || name->size() > kMaxNameBytes) {
        return std::nullopt;
    }
    return name;
}

std::optional<std::string> desktopEntryName(const std::filesystem::path& entry) {
    const auto file = KeyFile::read(entry);
    return file ? shownName(file->localeString("Desktop Entry", "Name")) : std::nullopt;
}

std::optional<std::string> metainfoFileName(const std::filesystem::path& deployment,
                                            const std::string& id) {
    const auto share = deployment / "files/share";
    for (const auto& file :
         {share / "metainfo" / (id + ".metainfo.xml"), share / "metainfo" / (id + ".appdata.xml"),
          share / "appdata" / (id + ".appdata.xml")}) {
        if (const auto xml = readCappedFile(file, kMaxMetainfoBytes)) {
            return shownName(metainfoName(*xml));
        }
    }
    return std::nullopt;
}

std::string applicationName(const FlatpakInstallation& installation,
                            const std::filesystem::path& deployment, const std::string& id) {
    if (auto name = desktopEntryName(installation.path / "exports/share/applications" /
                                     (id + ".desktop"))) {
        return *name;
    }
    if (auto name = metainfoFileName(deployment, id)) {
        return *name;
    }
    return id.substr(id.rfind('.') + 1);
}

std::filesystem::path iconFile(const FlatpakInstallation& installation, const std::string& id) {
    const auto hicolor = installation.path / "exports/share/icons/hicolor";
    for (const char* size : kIconSizes) {
        for (const char* extension : kIconExtensions) {
            auto icon = hicolor / size / "apps" / (id + extension);
            std::error_code error;
            if (std::filesystem::is_regular_file(icon, error)) {
                return icon;
            }
        }
    }
    return {};
}

std::int64_t deployedSize(const std::filesystem::path& deployment,
                          const support::CancellationToken& token) {
    std::error_code error;
    // "active" is a link to the deployed commit; the walk never follows links itself.
    const auto files = std::filesystem::canonical(deployment, error);
    std::int64_t total = 0;
    if (!error) {
        walkDirectory(files, {.readSizes = true, .countHardLinksOnce = true}, token,
                      [&](const WalkedEntry& entry) { total += entry.sizeInBytes; });
    }
    return total;
}

struct MetainfoScan {
    int depth = 0;
    bool inName = false;
    bool done = false;
    std::string name;
};

void startElement(GMarkupParseContext*, const gchar* element, const gchar** attributes,
                  const gchar**, gpointer data, GError**) {
    auto& scan = *static_cast<MetainfoScan*>(data);
    ++scan.depth;
    if (scan.done || scan.depth != 2 || std::string_view(element) != "name") {
        return;
    }
    for (const gchar** attribute = attributes; *attribute != nullptr; ++attribute) {
        if (std::string_view(*attribute) == "xml:lang") {
            return;
        }
    }
    scan.inName = true;
}

void endElement(GMarkupParseContext*, const gchar*, gpointer data, GError**) {
    auto& scan = *static_cast<MetainfoScan*>(data);
    if (scan.inName) {
        scan.inName = false;
        scan.done = true;
    }
    --scan.depth;
}

void elementText(GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**) {
    auto& scan = *static_cast<MetainfoScan*>(data);
    if (scan.inName) {
        scan.name.append(text, length);
    }
}

}  // namespace

FlatpakLocations defaultFlatpakLocations(const EnvironmentLookup& environment) {
    return {
        .userInstallation = variableOr(environment, "FLATPAK_USER_DIR",
                                       applicationSupportFolder(environment) / "flatpak"),
        .systemInstallation = variableOr(environment, "FLATPAK_SYSTEM_DIR", "/var/lib/flatpak"),
        .extraInstallationsConfig = "/etc/flatpak/installations.d",
    };
}

std::vector<FlatpakInstallation> flatpakInstallations(const FlatpakLocations& locations) {
    std::vector<FlatpakInstallation> installations{
        {std::string(kUserInstallation), std::string(kUserInstallation),
         locations.userInstallation},
        {std::string(kSystemInstallation), std::string(kSystemInstallation),
         locations.systemInstallation},
    };
    for (const auto& name : sortedNames(locations.extraInstallationsConfig)) {
        if (name.ends_with(".conf")) {
            appendExtraInstallations(locations.extraInstallationsConfig / name, installations);
        }
    }
    return installations;
}

bool isDeployed(const FlatpakInstallation& installation, const std::string& id) {
    std::error_code error;
    return isApplicationID(id) &&
           std::filesystem::exists(installation.path / "app" / id / "current/active", error);
}

std::vector<PackagedApplication> flatpakApplications(const FlatpakInstallation& installation,
                                                     const support::CancellationToken& token) {
    std::vector<PackagedApplication> applications;
    for (const auto& id : sortedNames(installation.path / "app")) {
        if (token.isCancelled()) {
            break;
        }
        if (isExtension(id) || !isDeployed(installation, id)) {
            continue;
        }
        const auto deployment = installation.path / "app" / id / "current/active";
        const auto metadata = KeyFile::read(deployment / "metadata");
        if (!metadata || !metadata->hasGroup("Application")) {
            continue;
        }
        applications.push_back({
            .kind = PackageKind::flatpak,
            .id = id,
            .name = applicationName(installation, deployment, id),
            .icon = iconFile(installation, id),
            .sizeInBytes = deployedSize(deployment, token),
            .installation = installation.name,
            .installationLabel = installation.label,
            .installationPath = installation.path,
            .deployment = deployment,
        });
    }
    return applications;
}

std::optional<std::string> metainfoName(std::string_view xml) {
    GMarkupParser parser{startElement, endElement, elementText, nullptr, nullptr};
    MetainfoScan scan;
    GMarkupParseContext* context =
        g_markup_parse_context_new(&parser, static_cast<GMarkupParseFlags>(0), &scan, nullptr);
    const bool parsed =
        g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()),
                                     nullptr) != FALSE &&
        g_markup_parse_context_end_parse(context, nullptr) != FALSE;
    g_markup_parse_context_free(context);
    if (!parsed && !scan.done) {
        return std::nullopt;
    }
    auto* stripped = g_strstrip(g_strdup(scan.name.c_str()));
    std::string name(stripped);
    g_free(stripped);
    return name.empty() ? std::nullopt : std::optional(name);
}

}  // namespace quillo::platform
