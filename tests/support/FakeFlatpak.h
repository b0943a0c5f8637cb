#pragma once

#include <filesystem>
#include <string>

namespace quillo::testing {

/// What a fake Flatpak deployment carries besides its metadata.
struct FakeFlatpakApp {
    std::string id;
    /// The metadata keyfile, written as it stands.
    std::string metadata;
    /// Name= of the exported desktop entry; none when empty.
    std::string desktopName{};
    /// The metainfo's <name>; no metainfo when empty.
    std::string metainfoName{};
    bool withIcon = false;
    /// Bytes of the deployed executable.
    std::size_t filesBytes = 4096;
};

/// "[Application]\nname=<id>\n" followed by `context` lines.
std::string applicationMetadata(const std::string& id, const std::string& rest = {});

/// Deploys `app` into the installation at `installation` as Flatpak lays it out:
/// app/<id>/x86_64/stable/<commit>/{metadata,files,export}, "active" and "current" links, and
/// the exported desktop entry and icon as links into the deployment. Returns the "active" path.
std::filesystem::path deployFakeFlatpak(const std::filesystem::path& installation,
                                        const FakeFlatpakApp& app);

}  // namespace quillo::testing
