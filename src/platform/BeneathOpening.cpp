#include "platform/BeneathOpening.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/FileStatus.h"

namespace quillo::platform {

namespace {

constexpr int kPathFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// A rename anywhere in the system makes the kernel's resolution give up with EAGAIN; a few tries
// ride that out, a tree that keeps changing is left to the step-by-step walk.
constexpr int kResolutionAttempts = 3;

std::string joined(const std::vector<std::string_view>& components) {
    std::string path;
    for (const std::string_view component : components) {
        if (!path.empty()) {
            path += '/';
        }
        path += component;
    }
    return path;
}

}  // namespace

FileDescriptor openFolderBeneath(int root, const std::vector<std::string_view>& components) {
    if (components.empty()) {
        return FileDescriptor(::openat(root, ".", kPathFolderFlags));
    }
    const std::string relative = joined(components);
    open_how how{};
    how.flags = kPathFolderFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_NO_XDEV;
    for (int attempt = 0; attempt < kResolutionAttempts; ++attempt) {
        const long fd = ::syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how);
        if (fd >= 0) {
            return FileDescriptor(static_cast<int>(fd));
        }
        if (errno != EAGAIN) {
            break;
        }
    }
    // Kernels before 5.6 lack the call; older ones may reject a flag.
    if (errno == ENOSYS || errno == EINVAL || errno == E2BIG || errno == EAGAIN) {
        return openFolderBeneathStepwise(root, components);
    }
    return {};
}

FileDescriptor openFolderBeneathStepwise(int root,
                                         const std::vector<std::string_view>& components) {
    const std::optional<FileStatus> rootStatus = readDescriptorStatus(root);
    if (!rootStatus) {
        return {};
    }
    FileDescriptor folder(::openat(root, ".", kPathFolderFlags));
    for (const std::string_view component : components) {
        if (!folder.valid()) {
            return {};
        }
        const std::string name(component);
        const std::optional<FileStatus> examined = readFileStatus(folder.get(), name.c_str());
        if (!examined) {
            return {};
        }
        if (examined->type != S_IFDIR) {
            errno = examined->type == S_IFLNK ? ELOOP : ENOTDIR;
            return {};
        }
        if (!isOnMountOf(*examined, *rootStatus)) {
            errno = EXDEV;
            return {};
        }
        FileDescriptor next(::openat(folder.get(), name.c_str(), kPathFolderFlags));
        if (!next.valid()) {
            return {};
        }
        const std::optional<FileStatus> opened = readDescriptorStatus(next.get());
        if (!opened || opened->identity != examined->identity) {
            errno = EAGAIN;
            return {};
        }
        folder = std::move(next);
    }
    return folder;
}

}  // namespace quillo::platform
