#include "platform/AdvisoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileDescriptor.h"

namespace quillo::platform {

bool isLockedByAnotherHolder(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    const FileDescriptor file(
        ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    // Checked again on the descriptor: the name may have been given to something else since.
    if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
        ::flock(file.get(), LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

}  // namespace quillo::platform
