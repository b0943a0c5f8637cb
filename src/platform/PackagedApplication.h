#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace quillo::platform {

enum class PackageKind { flatpak, snap };

/// One application installed by a Linux package system, as the uninstaller lists it.
struct PackagedApplication {
    PackageKind kind = PackageKind::flatpak;
    /// The Flatpak application ID or the snap's name.
    std::string id;
    std::string name;
    /// An icon file; empty when none was found.
    std::filesystem::path icon{};
    std::int64_t sizeInBytes = 0;
    /// "user", "system", an extra installation's name, or "snap".
    std::string installation;
    /// How the installation is shown: an extra installation's DisplayName, else its name.
    std::string installationLabel{};
    /// The Flatpak installation's folder; empty for snaps.
    std::filesystem::path installationPath{};
    /// The deployed files: a Flatpak's "app/<id>/current/active" (its metadata lives there),
    /// a snap's "/snap/<name>/current".
    std::filesystem::path deployment{};

    friend bool operator==(const PackagedApplication&, const PackagedApplication&) = default;
};

inline constexpr std::string_view kUserInstallation = "user";
inline constexpr std::string_view kSystemInstallation = "system";
inline constexpr std::string_view kSnapInstallation = "snap";

}  // namespace quillo::platform
