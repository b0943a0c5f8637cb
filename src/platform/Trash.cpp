#include "platform/Trash.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/PathText.h"
#include "platform/SafeFileOperations.h"
#include "platform/StandardDirectories.h"
#include "platform/TrashFolders.h"

namespace quillo::platform {

namespace {

constexpr const char* kFailedPrefix = "In den Papierkorb verschieben fehlgeschlagen: ";
constexpr const char* kNoTrashOnDevice =
    "In den Papierkorb verschieben fehlgeschlagen: Auf dem Laufwerk des Objekts gibt es keinen "
    "nutzbaren Papierkorb.";

support::Error noTrashOnDevice() {
    return support::Error::make(TrashError(kNoTrashOnDevice));
}

std::optional<std::filesystem::path> resolvedFolder(const std::filesystem::path& folder) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                           &std::free);
    if (!real) {
        return std::nullopt;
    }
    return std::filesystem::path(real.get());
}

std::optional<dev_t> deviceOf(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status.st_dev;
}

dev_t deviceOf(const FileDescriptor& folder) {
    struct stat status {};
    ::fstat(folder.get(), &status);
    return status.st_dev;
}

/// The device of `path` or of its nearest existing parent.
std::optional<dev_t> deviceOfNearestExisting(std::filesystem::path path) {
    for (;;) {
        if (const auto device = deviceOf(path)) {
            return device;
        }
        if (path == path.parent_path()) {
            return std::nullopt;
        }
        path = path.parent_path();
    }
}

/// The topmost folder above the resolved folder `folder` that is still on `device`.
std::filesystem::path mountPoint(std::filesystem::path folder, dev_t device) {
    while (folder != folder.root_path() && deviceOf(folder.parent_path()) == device) {
        folder = folder.parent_path();
    }
    return folder;
}

/// The trash for an item on `device`, and the "Path" its info file records.
struct ChosenTrash {
    TrashFolder folder;
    std::string originalPath;
};

support::Result<ChosenTrash> trashFor(const std::filesystem::path& original, dev_t device,
                                      const TrashEnvironment& environment) {
    auto home = openHomeTrash(environment.dataHome);
    if (home && deviceOf(home.value().files) == device) {
        return ChosenTrash{std::move(home).value(), original.native()};
    }
    if (!home && deviceOfNearestExisting(environment.dataHome) == device) {
        return home.error();
    }
    const std::filesystem::path folder = original.parent_path();
    if (deviceOf(folder) != device) {
        // The item is a mount point itself; nothing can rename it.
        return noTrashOnDevice();
    }
    const std::filesystem::path topdir = mountPoint(folder, device);
    auto top = openTopDirectoryTrash(topdir, environment.uid);
    if (!top) {
        return top.error();
    }
    if (deviceOf(top.value().files) != device) {
        return noTrashOnDevice();
    }
    // Trashes of other file systems store paths relative to their mount point.
    return ChosenTrash{std::move(top).value(), original.lexically_relative(topdir).native()};
}

}  // namespace

support::Error TrashError::failed(int code) {
    return support::Error::make(TrashError(kFailedPrefix + FileOperationError::reasonFor(code)));
}

TrashEnvironment platformTrashEnvironment() {
    TrashEnvironment environment;
    environment.dataHome = applicationSupportFolder();
    environment.home = homeFolder();
    return environment;
}

support::Status moveToTrash(const std::filesystem::path& item,
                            const TrashEnvironment& environment) {
    if (auto reason = refusalReason(item, environment.home)) {
        return support::Error::make(TrashError(std::move(*reason)));
    }
    const std::filesystem::path given(withoutTrailingSlashes(item.native()));
    struct stat status {};
    if (::lstat(given.c_str(), &status) != 0) {
        return TrashError::failed(errno);
    }
    // The recorded place is the real one, so that a restore finds it without the links that led
    // there; the item itself, a link or not, is what moves.
    const auto folder = resolvedFolder(given.parent_path());
    if (!folder) {
        return TrashError::failed(errno);
    }
    const std::filesystem::path original = *folder / given.filename();
    auto trash = trashFor(original, status.st_dev, environment);
    if (!trash) {
        return trash.error();
    }
    return moveIntoTrash(given, given.filename().native(), trash.value().folder,
                         trash.value().originalPath, environment.clock());
}

}  // namespace quillo::platform
