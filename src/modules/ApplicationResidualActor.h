#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "modules/FileCleaningModule.h"
#include "platform/InstalledApplications.h"

namespace quillo {

/// Which names in a root have the shape of an application's identifier.
enum class ResidualNameRule {
    /// A full stop somewhere, no space, no leading full stop: the reverse-domain names of
    /// application bundles.
    bundleIdentifier,
    /// A Flatpak application ID (`platform::isApplicationID`), so that settings folders such as
    /// gtk-3.0 never pass for an application's.
    applicationID,
};

/// A folder whose immediate subfolders may be left behind by removed applications.
struct ResidualRoot {
    std::filesystem::path url;
    ResidualNameRule nameRule = ResidualNameRule::bundleIdentifier;
    /// Whether `isInstalled` is reliable enough here to preselect what the root offers.
    bool isSafeToDeleteByDefault = true;

    friend bool operator==(const ResidualRoot&, const ResidualRoot&) = default;
};

/// Whether a child named `name` is worth asking about: it has the shape `rule` asks for and is
/// not this application's own folder.
bool isResidualCandidate(std::string_view name, ResidualNameRule rule);

/// Offers the data folders of applications that are no longer installed: subfolders of the roots
/// named like an application's identifier that `isInstalled` does not know, sized whole.
class ApplicationResidualActor final : public FileCleaningModule {
  public:
    ApplicationResidualActor(std::vector<ResidualRoot> roots,
                             platform::InstalledApplicationCheck isInstalled,
                             std::shared_ptr<SecureDeletionService> deletionService,
                             ModuleEnvironment environment);

    [[nodiscard]] const std::vector<ResidualRoot>& roots() const { return roots_; }

    /// Roots in order, each sorted by name; asks `isInstalled` once per candidate, one question
    /// at a time. Fails only by cancellation.
    void scan(support::CancellationToken token, support::Completion<CleanableItems> done) override;

  private:
    struct Scan;
    void examineNext(const std::shared_ptr<Scan>& scan);
    void judgeCandidate(const std::shared_ptr<Scan>& scan, bool installed);

    std::vector<ResidualRoot> roots_;
    platform::InstalledApplicationCheck isInstalled_;
};

}  // namespace quillo
