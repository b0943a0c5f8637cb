#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "audit/InstalledApp.h"
#include "platform/KeyFile.h"
#include "platform/PackagedApplication.h"
#include "platform/PermissionStore.h"

namespace quillo {

/// A Flatpak application's sandbox permissions as `flatpak info --show-permissions` merges them.
struct FlatpakPermissions {
    /// [Context] key → granted entry (a filesystem without its ":ro"/":rw"/":create") → the
    /// line that grants it ("filesystems=home:ro").
    std::map<std::string, std::map<std::string, std::string>> context;
    /// Bus name (or "prefix.*") → policy, for the session and the system bus.
    std::map<std::string, std::string> sessionBus;
    std::map<std::string, std::string> systemBus;

    /// Applies one layer (the metadata or an override file): an entry grants, "!entry" takes a
    /// grant back, a bus policy replaces the earlier one.
    void apply(const platform::KeyFile& layer);
};

/// Where override files live.
struct FlatpakOverrideFolders {
    /// The system installation's "overrides" folder.
    std::filesystem::path system;
    /// The user's ($XDG_DATA_HOME/flatpak/overrides).
    std::filesystem::path user;
};

/// The metadata of `app`, then the system's global overrides, the app's overrides of its own
/// installation when that is not the user's, the user's global and the user's per-app ones.
FlatpakPermissions effectivePermissions(const platform::PackagedApplication& app,
                                        const FlatpakOverrideFolders& overrides);

/// The audit's declarations for `permissions` and the app's portal permission store rows, in
/// the order of `allPrivacyPermissions`; each with the granting lines as its text.
std::vector<DeclaredPermission> flatpakDeclarations(
    const FlatpakPermissions& permissions, const std::vector<platform::PermissionStoreRow>& rows);

/// The declarations of a snap's connected interfaces.
std::vector<DeclaredPermission> snapDeclarations(const std::vector<std::string>& interfaces);

}  // namespace quillo
