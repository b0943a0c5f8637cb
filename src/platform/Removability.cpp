#include "platform/Removability.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quillo::platform {

namespace {

// The effective user's rights, as the kernel judges them (not the real user's, which
// plain access() would ask about).
bool mayAccess(const std::filesystem::path& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

// Root normally holds it; a process can drop it, and then the sticky rule binds root too.
bool mayOverrideOwnership() {
    __user_cap_header_struct header{.version = _LINUX_CAPABILITY_VERSION_3, .pid = 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    return (data[0].effective & (1U << CAP_FOWNER)) != 0;
}

}  // namespace

bool removalNeedsMoreRights(const std::filesystem::path& path) {
    const auto parent = path.parent_path();
    struct stat entry {};
    if (parent.empty() || ::lstat(path.c_str(), &entry) != 0) {
        return false;
    }
    struct stat folder {};
    if (::stat(parent.c_str(), &folder) != 0 || !mayAccess(parent, W_OK | X_OK)) {
        return true;
    }
    if ((folder.st_mode & S_ISVTX) != 0) {
        const uid_t self = ::geteuid();
        if (entry.st_uid != self && folder.st_uid != self && !mayOverrideOwnership()) {
            return true;
        }
    }
    return S_ISDIR(entry.st_mode) && !mayAccess(path, R_OK | W_OK | X_OK);
}

bool isOutOfReach(const std::filesystem::path& folder) {
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && !mayAccess(folder, R_OK | W_OK | X_OK);
}

}  // namespace quillo::platform
