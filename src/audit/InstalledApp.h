#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "audit/PrivacyPermission.h"
#include "model/Uuid.h"

namespace quillo {

/// One permission an application declares in its Info.plist or its sandbox permissions.
struct DeclaredPermission {
    Uuid id = Uuid::random();
    PrivacyPermission permission = PrivacyPermission::camera;
    /// The declared text; empty when a key is there without a non-empty text.
    std::string usageDescription;

    friend bool operator==(const DeclaredPermission&, const DeclaredPermission&) = default;
};

/// One audited application that declares at least one permission.
struct InstalledApp {
    Uuid id = Uuid::random();
    /// The application bundle.
    std::filesystem::path url;
    /// "CFBundleIdentifier", or empty when that is missing or no string.
    std::string bundleID;
    std::string displayName;
    /// Never empty; in the order of `allPrivacyPermissions`.
    std::vector<DeclaredPermission> declaredPermissions;
    /// Where a packaged application is installed ("user", "system", an extra installation,
    /// "snap"); empty for a bundle.
    std::string installation{};

    /// Whether one of the declarations is of `permission`.
    [[nodiscard]] bool declares(PrivacyPermission permission) const;

    friend bool operator==(const InstalledApp&, const InstalledApp&) = default;
};

}  // namespace quillo

template <>
struct std::hash<quillo::DeclaredPermission> {
    std::size_t operator()(const quillo::DeclaredPermission& declaration) const noexcept;
};

template <>
struct std::hash<quillo::InstalledApp> {
    std::size_t operator()(const quillo::InstalledApp& app) const noexcept;
};
