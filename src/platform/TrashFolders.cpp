#include "platform/TrashFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

#include "platform/Trash.h"
#include "platform/TrashInfo.h"

namespace quillo::platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kPrivateFile = 0600;
constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr unsigned kMaximumAttempts = 10'000;

constexpr const char* kForeignTrash =
    "In den Papierkorb verschieben fehlgeschlagen: Der Papierkorb gehört einem anderen Benutzer.";
constexpr const char* kNoFreeName =
    "In den Papierkorb verschieben fehlgeschlagen: Im Papierkorb ist kein Name mehr frei.";

support::Error foreignTrash() {
    return support::Error::make(TrashError(kForeignTrash));
}

/// The folder `name` in the folder open as `parent`, made private when missing. A link in its
/// place is not followed; with `owner`, a folder of anyone else's is not used.
support::Result<FileDescriptor> privateFolder(int parent, const std::string& name,
                                              std::optional<uid_t> owner) {
    if (::mkdirat(parent, name.c_str(), kPrivateFolder) != 0 && errno != EEXIST) {
        return TrashError::failed(errno);
    }
    FileDescriptor folder(::openat(parent, name.c_str(), kFolderFlags));
    if (!folder.valid()) {
        return TrashError::failed(errno);
    }
    struct stat status {};
    if (::fstat(folder.get(), &status) != 0) {
        return TrashError::failed(errno);
    }
    if (owner && status.st_uid != *owner) {
        return foreignTrash();
    }
    return folder;
}

support::Result<TrashFolder> withSubfolders(FileDescriptor trash, std::filesystem::path location,
                                            std::optional<uid_t> owner) {
    auto files = privateFolder(trash.get(), "files", owner);
    if (!files) {
        return files.error();
    }
    auto info = privateFolder(trash.get(), "info", owner);
    if (!info) {
        return info.error();
    }
    return TrashFolder{std::move(location), std::move(files).value(), std::move(info).value()};
}

/// "$topdir/.Trash/$uid", when the administrator's shared ".Trash" is usable.
std::optional<TrashFolder> sharedTopDirectoryTrash(int topdir,
                                                   const std::filesystem::path& location,
                                                   uid_t uid) {
    const FileDescriptor shared(::openat(topdir, ".Trash", kFolderFlags));
    struct stat status {};
    if (!shared.valid() || ::fstat(shared.get(), &status) != 0 || (status.st_mode & S_ISVTX) == 0) {
        return std::nullopt;
    }
    const std::string name = std::to_string(uid);
    auto own = privateFolder(shared.get(), name, uid);
    if (!own) {
        return std::nullopt;
    }
    auto folder = withSubfolders(std::move(own).value(), location / ".Trash" / name, uid);
    if (!folder) {
        return std::nullopt;
    }
    return std::move(folder).value();
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

/// Renames `item` to `name` in the folder open as `folder` unless something has that name;
/// 0 or -1 with errno set (EEXIST when the name is taken).
int renameWithoutReplacing(const std::filesystem::path& item, int folder, const std::string& name) {
    if (::renameat2(AT_FDCWD, item.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL) {
        return -1;
    }
    // A file system without the flag: the info file already reserves the name among trashers,
    // so only a leftover without info can be in the way.
    struct stat existing {};
    if (::fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(AT_FDCWD, item.c_str(), folder, name.c_str());
}

}  // namespace

support::Result<TrashFolder> openHomeTrash(const std::filesystem::path& dataHome) {
    if (!dataHome.is_absolute()) {
        // An unknown home would put the trash wherever the process happens to be.
        return TrashError::failed(ENOENT);
    }
    std::error_code ignored;
    std::filesystem::create_directories(dataHome, ignored);
    const FileDescriptor data(::open(dataHome.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!data.valid()) {
        return TrashError::failed(errno);
    }
    if (::mkdirat(data.get(), "Trash", kPrivateFolder) != 0 && errno != EEXIST) {
        return TrashError::failed(errno);
    }
    // Where the user keeps the home trash is the user's choice: a link named "Trash" is followed.
    FileDescriptor trash(::openat(data.get(), "Trash", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!trash.valid()) {
        return TrashError::failed(errno);
    }
    return withSubfolders(std::move(trash), dataHome / "Trash", std::nullopt);
}

support::Result<TrashFolder> openTopDirectoryTrash(const std::filesystem::path& topdir, uid_t uid) {
    const FileDescriptor top(::open(topdir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!top.valid()) {
        return TrashError::failed(errno);
    }
    if (auto shared = sharedTopDirectoryTrash(top.get(), topdir, uid)) {
        return std::move(*shared);
    }
    const std::string name = ".Trash-" + std::to_string(uid);
    auto own = privateFolder(top.get(), name, uid);
    if (!own) {
        return own.error();
    }
    return withSubfolders(std::move(own).value(), topdir / name, uid);
}

support::Status moveIntoTrash(const std::filesystem::path& item, std::string_view name,
                              const TrashFolder& trash, std::string_view originalPath,
                              TimePoint deletedAt) {
    const std::string contents = trashInfoText(originalPath, deletedAt);
    for (unsigned attempt = 1; attempt <= kMaximumAttempts; ++attempt) {
        const std::string candidate = trashName(name, attempt);
        const std::string infoName = candidate + std::string(kInfoSuffix);
        FileDescriptor info(::openat(trash.info.get(), infoName.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                     kPrivateFile));
        if (!info.valid()) {
            if (errno == EEXIST) {
                continue;
            }
            return TrashError::failed(errno);
        }
        const bool written = writeAll(info.get(), contents);
        const int writeError = errno;
        info.reset();
        if (!written) {
            ::unlinkat(trash.info.get(), infoName.c_str(), 0);
            return TrashError::failed(writeError);
        }
        if (renameWithoutReplacing(item, trash.files.get(), candidate) == 0) {
            return support::Unit{};
        }
        const int renameError = errno;
        ::unlinkat(trash.info.get(), infoName.c_str(), 0);
        if (renameError != EEXIST) {
            return TrashError::failed(renameError);
        }
    }
    return support::Error::make(TrashError(kNoFreeName));
}

}  // namespace quillo::platform
