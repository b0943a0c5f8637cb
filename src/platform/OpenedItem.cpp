#include "platform/OpenedItem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/BeneathOpening.h"
#include "platform/DescriptorPath.h"
#include "platform/ItemSafetyError.h"
#include "platform/OpenedItemParts.h"
#include "platform/PathText.h"

namespace quillo::platform {

namespace {

constexpr int kAnchorFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
constexpr int kListingFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

support::Error fileFailure(int code) {
    return support::Error::make(FileOperationError(code));
}

support::Error safetyFailure(ItemSafetyError::Kind kind) {
    return ItemSafetyError::make(kind);
}

// What a failed removal step means for the user: a mount point left alone is said as such.
support::Error removalFailure(int code) {
    if (code == EXDEV || code == EBUSY) {
        return safetyFailure(ItemSafetyError::Kind::containsMountPoint);
    }
    return fileFailure(code);
}

bool sameEntry(const FileStatus& now, const FileStatus& opened) {
    return now.identity == opened.identity && now.type == opened.type &&
           now.mountID == opened.mountID;
}

}  // namespace

OpenedItem::OpenedItem(std::filesystem::path path, FileDescriptor folder, std::string name,
                       FileStatus status)
    : path_(std::move(path)), folder_(std::move(folder)), name_(std::move(name)), status_(status) {}

support::Result<OpenedItem> OpenedItem::open(const std::filesystem::path& item,
                                             const DeletionScope& scope) {
    if (auto reason = deletionRefusalReason(item, scope)) {
        return support::Error::make(RefusedPathError(std::move(*reason)));
    }
    const DeletionArea area = *coveringArea(item, scope.areas);
    const std::string itemText = withoutTrailingSlashes(item.native());
    const std::vector<std::string_view> itemParts = pathComponents(itemText);
    std::vector<std::string_view> areaParts = pathComponents(area.path.native());
    if (areaParts.size() == itemParts.size()) {
        areaParts.pop_back();  // the area is the item itself: start at its folder
    }
    // The area's own path is the module's choice and may pass through links; below it, nothing
    // does.
    std::string anchor = "/";
    for (const std::string_view part : areaParts) {
        anchor.append(part).push_back('/');
    }
    FileDescriptor anchorFolder(::open(anchor.c_str(), kAnchorFlags));
    if (!anchorFolder.valid()) {
        return fileFailure(errno);
    }
    const std::vector<std::string_view> between(
        itemParts.begin() + std::ptrdiff_t(areaParts.size()), itemParts.end() - 1);
    // An item directly in the area lies in the anchor itself.
    FileDescriptor folder =
        between.empty() ? std::move(anchorFolder) : openFolderBeneath(anchorFolder.get(), between);
    if (!folder.valid()) {
        switch (errno) {
            case ELOOP:
            case ENOTDIR:
                return safetyFailure(ItemSafetyError::Kind::linkInPath);
            case EXDEV:
                return safetyFailure(ItemSafetyError::Kind::otherMount);
            default:
                return fileFailure(errno);
        }
    }
    // Judged where the opened folder really lies, so that no link renamed into place between the
    // check and the opening carries the item into a system folder.
    if (auto reason = realPlaceRefusalReason(item, descriptorPath(folder.get()), scope)) {
        return support::Error::make(RefusedPathError(std::move(*reason)));
    }
    std::string name(itemParts.back());
    const std::optional<FileStatus> status = readFileStatus(folder.get(), name.c_str());
    if (!status) {
        return fileFailure(errno);
    }
    if (!status->knowsMountRoot) {
        const std::optional<FileStatus> folderStatus = readDescriptorStatus(folder.get());
        if (!folderStatus) {
            return fileFailure(errno);
        }
        if (!isOnMountOf(*status, *folderStatus)) {
            return safetyFailure(ItemSafetyError::Kind::mountPoint);
        }
    } else if (status->isMountRoot) {
        return safetyFailure(ItemSafetyError::Kind::mountPoint);
    }
    return OpenedItem(item, std::move(folder), std::move(name), *status);
}

PathKind OpenedItem::kind() const {
    switch (status_.type) {
        case S_IFDIR:
            return PathKind::directory;
        case S_IFREG:
            return PathKind::regularFile;
        default:
            return PathKind::other;
    }
}

support::Status OpenedItem::checkUnchanged() const {
    const std::optional<FileStatus> now = readFileStatus(folder_.get(), name_.c_str());
    if (!now) {
        return fileFailure(errno);
    }
    if (!sameEntry(*now, status_)) {
        return safetyFailure(ItemSafetyError::Kind::replaced);
    }
    return support::Unit{};
}

support::Result<FileDescriptor> OpenedItem::openAsFolder() const {
    FileDescriptor opened(::openat(folder_.get(), name_.c_str(), kListingFlags));
    if (!opened.valid()) {
        return errno == ENOTDIR || errno == ELOOP ? safetyFailure(ItemSafetyError::Kind::replaced)
                                                  : fileFailure(errno);
    }
    const std::optional<FileStatus> status = readDescriptorStatus(opened.get());
    if (!status || !sameEntry(*status, status_)) {
        return safetyFailure(ItemSafetyError::Kind::replaced);
    }
    return opened;
}

support::Result<OverwriteOutcome> OpenedItem::overwriteOnce(const RandomFill& fill) const {
    if (auto unchanged = checkUnchanged(); !unchanged) {
        return unchanged.error();
    }
    switch (kind()) {
        case PathKind::regularFile:
            return overwriteEntry(folder_.get(), name_.c_str(), status_, status_.identity, fill);
        case PathKind::directory: {
            auto folder = openAsFolder();
            if (!folder) {
                return folder.error();
            }
            overwriteFilesBelow(std::move(folder.value()), status_, fill);
            return OverwriteOutcome::overwritten;
        }
        case PathKind::missing:
        case PathKind::other:
            break;
    }
    return OverwriteOutcome::notRegularFile;
}

support::Status OpenedItem::remove(const BeforeDescent& beforeDescent) const {
    if (auto unchanged = checkUnchanged(); !unchanged) {
        return unchanged;
    }
    if (kind() != PathKind::directory) {
        if (::unlinkat(folder_.get(), name_.c_str(), 0) != 0) {
            return removalFailure(errno);
        }
        return support::Unit{};
    }
    auto folder = openAsFolder();
    if (!folder) {
        return folder.error();
    }
    if (const int error = emptyFolder(std::move(folder.value()), beforeDescent); error != 0) {
        return removalFailure(error);
    }
    if (::unlinkat(folder_.get(), name_.c_str(), AT_REMOVEDIR) != 0) {
        return removalFailure(errno);
    }
    return support::Unit{};
}

bool OpenedItem::isGone() const {
    struct stat status {};
    return ::fstatat(folder_.get(), name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 &&
           errno == ENOENT;
}

}  // namespace quillo::platform
