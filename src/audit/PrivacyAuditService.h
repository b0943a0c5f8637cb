#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audit/InstalledApp.h"
#include "audit/PackagedAppAudit.h"
#include "platform/PropertyList.h"
#include "support/CancellationToken.h"
#include "support/Executor.h"

namespace quillo {

/// Reads which privacy permissions the applications in a few folders declare in their
/// Info.plist. A serialised object: audits run one at a time on its context.
class PrivacyAuditService final : public std::enable_shared_from_this<PrivacyAuditService> {
  public:
    /// The dictionary of the Info.plist at a path, or nothing when it is unreadable.
    using InfoPlistReader = std::function<std::optional<platform::PropertyListDictionary>(
        const std::filesystem::path& infoPlist)>;
    /// Receives an audit's applications; an audit never fails.
    using AuditCompletion = std::function<void(std::vector<InstalledApp>)>;
    using FindingsCompletion = std::function<void(AuditFindings)>;
    /// Audits the applications of a package system (Flatpak, snap) beside the bundles.
    using PackagedAudit = std::function<AuditFindings(const support::CancellationToken&)>;

    /// Real Info.plists are a few kilobytes; a larger one is taken as unreadable.
    static constexpr std::size_t kMaxInfoPlistBytes = std::size_t{4} << 20;

    static std::shared_ptr<PrivacyAuditService> create(
        std::vector<std::filesystem::path> appRoots, support::ExecutorRef context,
        InfoPlistReader readInfoPlist = readInfoPlistFile, PackagedAudit packagedAudit = {});

    PrivacyAuditService(std::vector<std::filesystem::path> appRoots, support::ExecutorRef context,
                        InfoPlistReader readInfoPlist, PackagedAudit packagedAudit = {});

    /// The folders audited, in order.
    [[nodiscard]] const std::vector<std::filesystem::path>& appRoots() const { return appRoots_; }

    /// Every application bundle ("*.app", any case) directly in the roots whose Info.plist
    /// declares at least one permission, sorted by lower-cased display name, equal names in the
    /// order found (roots in order, each by name). Unreadable folders and bundles are skipped.
    /// Cancellation ends the audit early with what was found. `done` runs on the context.
    void audit(support::CancellationToken token, AuditCompletion done);
    /// `audit` with the packaged applications merged into the order, and the number of
    /// applications examined (bundles whose Info.plist was read, packaged applications).
    void auditWithFindings(support::CancellationToken token, FindingsCompletion done);

    /// Reads with `platform::readPropertyListDictionary` up to `kMaxInfoPlistBytes`.
    static std::optional<platform::PropertyListDictionary> readInfoPlistFile(
        const std::filesystem::path& infoPlist);

  private:
    [[nodiscard]] AuditFindings auditNow(const support::CancellationToken& token) const;
    /// Appends the root's applications; false when cancellation stopped it.
    bool auditRoot(const std::filesystem::path& root, const support::CancellationToken& token,
                   AuditFindings& findings) const;

    std::vector<std::filesystem::path> appRoots_;
    support::ExecutorRef context_;
    InfoPlistReader readInfoPlist_;
    PackagedAudit packagedAudit_;
};

/// "/Applications", then `home` followed by "/Applications".
std::vector<std::filesystem::path> defaultAppRoots(const std::string& home);

}  // namespace quillo
