#include "modules/ApplicationResidualActor.h"

#include <cstdint>
#include <string>
#include <utility>

#include "modules/FilesystemEnumeration.h"
#include "platform/AppIdentity.h"

namespace quillo {

namespace {

constexpr std::int64_t kLargeFolderBytes = 500'000'000;

CleaningModuleDescriptor applicationResidualProperties() {
    return CleaningModuleDescriptor{
        .id = CleaningModuleID::applicationResidual,
        .displayName = displayName(CleaningModuleID::applicationResidual),
        .explanation = LocalizableText::ownKey("Übrig gebliebene Daten deinstallierter Programme."),
        .symbolName = "shippingbox",
        .isDestructive = false,
        .estimatedScanDuration = 1.0,
        .isAvailableInSandbox = false,
        .requiresFullDiskAccess = true,
    };
}

bool hasBundleIdentifierShape(std::string_view name) {
    return name.find('.') != std::string_view::npos && name.find(' ') == std::string_view::npos &&
           !name.starts_with('.');
}

}  // namespace

bool isResidualCandidate(std::string_view name, ResidualNameRule rule) {
    if (name == platform::kApplicationIdentifier) {
        return false;
    }
    switch (rule) {
        case ResidualNameRule::bundleIdentifier:
            return hasBundleIdentifierShape(name);
        case ResidualNameRule::applicationID:
            return platform::isApplicationID(name);
    }
    return false;
}

/// One scan in progress: it moves from child to child on the module's context, leaving it while
/// `isInstalled` answers.
struct ApplicationResidualActor::Scan {
    support::CancellationToken token;
    support::Completion<CleanableItems> done;
    std::size_t nextRoot = 0;
    const ResidualRoot* root = nullptr;
    std::vector<std::filesystem::path> children;
    std::size_t nextChild = 0;
    CleanableItems items;
};

ApplicationResidualActor::ApplicationResidualActor(
    std::vector<ResidualRoot> roots, platform::InstalledApplicationCheck isInstalled,
    std::shared_ptr<SecureDeletionService> deletionService, ModuleEnvironment environment)
    : FileCleaningModule(applicationResidualProperties(), std::move(deletionService),
                         std::move(environment)),
      roots_(std::move(roots)),
      isInstalled_(std::move(isInstalled)) {}

void ApplicationResidualActor::scan(support::CancellationToken token,
                                    support::Completion<CleanableItems> done) {
    auto self = std::static_pointer_cast<ApplicationResidualActor>(shared_from_this());
    auto scan = std::make_shared<Scan>();
    scan->token = std::move(token);
    scan->done = std::move(done);
    context()->post([self, scan] { self->examineNext(scan); });
}

void ApplicationResidualActor::examineNext(const std::shared_ptr<Scan>& scan) {
    while (true) {
        if (scan->token.isCancelled()) {
            scan->done(support::Error::cancelled());
            return;
        }
        if (scan->nextChild == scan->children.size()) {
            if (scan->nextRoot == roots_.size()) {
                scan->done(std::move(scan->items));
                return;
            }
            scan->root = &roots_[scan->nextRoot++];
            scan->children = sortedChildren(scan->root->url);
            scan->nextChild = 0;
            continue;
        }
        const auto name = scan->children[scan->nextChild].filename().string();
        if (!isResidualCandidate(name, scan->root->nameRule)) {
            ++scan->nextChild;
            continue;
        }
        auto self = std::static_pointer_cast<ApplicationResidualActor>(shared_from_this());
        isInstalled_(name, [self, scan](bool installed) {
            self->context()->post(
                [self, scan, installed] { self->judgeCandidate(scan, installed); });
        });
        return;
    }
}

void ApplicationResidualActor::judgeCandidate(const std::shared_ptr<Scan>& scan, bool installed) {
    if (scan->token.isCancelled()) {
        scan->done(support::Error::cancelled());
        return;
    }
    const auto& child = scan->children[scan->nextChild++];
    if (!installed) {
        // A link is described as itself, so a link to a folder is never offered.
        const auto entry = makeEntry(child, scan->token);
        if (entry && entry->isDirectory && entry->sizeInBytes >= 1) {
            std::vector<CleanableItemWarning> warnings;
            if (entry->sizeInBytes > kLargeFolderBytes) {
                warnings.push_back(CleanableItemWarning::largeFile);
            }
            scan->items.push_back(offeredItem(*entry, id(), child.filename().string(),
                                              std::move(warnings),
                                              scan->root->isSafeToDeleteByDefault));
        }
    }
    examineNext(scan);
}

}  // namespace quillo
