#include "audit/PrivacyAuditService.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

#include "platform/DirectoryWalker.h"
#include "support/TextPieces.h"
#include "text/SearchText.h"

namespace quillo {

namespace {

// The name without its extension, when that extension is "app" in any case.
std::optional<std::string_view> appBaseName(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 ||
        support::asciiLowercased(name.substr(dot + 1)) != "app") {
        return std::nullopt;
    }
    return name.substr(0, dot);
}

std::vector<std::string> sortedNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    platform::listDirectory(folder, [&](std::string_view name) { names.emplace_back(name); });
    std::sort(names.begin(), names.end());
    return names;
}

// The first key with a non-empty text decides; a key that is there with an empty text or a value
// of another type still declares the permission, without a text.
std::optional<std::string> usageDescription(const platform::PropertyListDictionary& info,
                                            PrivacyPermission permission) {
    bool present = false;
    for (const auto key : infoPlistKeys(permission)) {
        auto text = info.stringValue(key);
        if (text && !text->empty()) {
            return text;
        }
        present = present || info.contains(key);
    }
    return present ? std::optional<std::string>(std::in_place) : std::nullopt;
}

std::vector<DeclaredPermission> declaredPermissions(const platform::PropertyListDictionary& info) {
    std::vector<DeclaredPermission> declared;
    for (const auto permission : allPrivacyPermissions) {
        if (auto text = usageDescription(info, permission)) {
            declared.push_back({Uuid::random(), permission, std::move(*text)});
        }
    }
    return declared;
}

std::string stringOrEmpty(const platform::PropertyListDictionary& info, std::string_view key) {
    auto text = info.stringValue(key);
    return text ? std::move(*text) : std::string();
}

std::string displayName(const platform::PropertyListDictionary& info, std::string_view baseName) {
    for (const auto key : {"CFBundleDisplayName", "CFBundleName"}) {
        if (auto name = stringOrEmpty(info, key); !name.empty()) {
            return name;
        }
    }
    return std::string(baseName);
}

// By the lower-cased names, as the user reads them: Unicode lower case in composed form, so that
// "Öffi" and "öffi" (however the umlaut is encoded) sort next to each other.
void sortByDisplayName(std::vector<InstalledApp>& apps) {
    std::vector<std::string> keys;
    keys.reserve(apps.size());
    for (const auto& app : apps) {
        keys.push_back(SearchText::folded(app.displayName));
    }
    std::vector<std::size_t> order(apps.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t left, std::size_t right) { return keys[left] < keys[right]; });
    std::vector<InstalledApp> sorted;
    sorted.reserve(apps.size());
    for (const auto index : order) {
        sorted.push_back(std::move(apps[index]));
    }
    apps = std::move(sorted);
}

}  // namespace

std::shared_ptr<PrivacyAuditService> PrivacyAuditService::create(
    std::vector<std::filesystem::path> appRoots, support::ExecutorRef context,
    InfoPlistReader readInfoPlist, PackagedAudit packagedAudit) {
    return std::make_shared<PrivacyAuditService>(std::move(appRoots), std::move(context),
                                                 std::move(readInfoPlist),
                                                 std::move(packagedAudit));
}

PrivacyAuditService::PrivacyAuditService(std::vector<std::filesystem::path> appRoots,
                                         support::ExecutorRef context,
                                         InfoPlistReader readInfoPlist, PackagedAudit packagedAudit)
    : appRoots_(std::move(appRoots)),
      context_(std::move(context)),
      readInfoPlist_(std::move(readInfoPlist)),
      packagedAudit_(std::move(packagedAudit)) {}

void PrivacyAuditService::audit(support::CancellationToken token, AuditCompletion done) {
    auditWithFindings(std::move(token), [done = std::move(done)](AuditFindings findings) {
        done(std::move(findings.apps));
    });
}

void PrivacyAuditService::auditWithFindings(support::CancellationToken token,
                                            FindingsCompletion done) {
    context_->post([self = shared_from_this(), token = std::move(token), done = std::move(done)] {
        done(self->auditNow(token));
    });
}

std::optional<platform::PropertyListDictionary> PrivacyAuditService::readInfoPlistFile(
    const std::filesystem::path& infoPlist) {
    return platform::readPropertyListDictionary(infoPlist, kMaxInfoPlistBytes);
}

AuditFindings PrivacyAuditService::auditNow(const support::CancellationToken& token) const {
    AuditFindings findings;
    bool finished = true;
    for (const auto& root : appRoots_) {
        if (!auditRoot(root, token, findings)) {
            finished = false;
            break;
        }
    }
    if (finished && packagedAudit_ && !token.isCancelled()) {
        auto packaged = packagedAudit_(token);
        findings.examined += packaged.examined;
        findings.apps.insert(findings.apps.end(), std::make_move_iterator(packaged.apps.begin()),
                             std::make_move_iterator(packaged.apps.end()));
    }
    sortByDisplayName(findings.apps);
    return findings;
}

bool PrivacyAuditService::auditRoot(const std::filesystem::path& root,
                                    const support::CancellationToken& token,
                                    AuditFindings& findings) const {
    for (const auto& name : sortedNames(root)) {
        const auto baseName = appBaseName(name);
        if (!baseName) {
            continue;
        }
        if (token.isCancelled()) {
            return false;
        }
        auto url = root / name;
        const auto info = readInfoPlist_(url / "Contents" / "Info.plist");
        if (!info) {
            continue;
        }
        ++findings.examined;
        auto declared = declaredPermissions(*info);
        if (!declared.empty()) {
            findings.apps.push_back({Uuid::random(), std::move(url),
                                     stringOrEmpty(*info, "CFBundleIdentifier"),
                                     displayName(*info, *baseName), std::move(declared)});
        }
    }
    return true;
}

std::vector<std::filesystem::path> defaultAppRoots(const std::string& home) {
    return {"/Applications", home + "/Applications"};
}

}  // namespace quillo
