#include "platform/SafeFileOperations.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/PathText.h"

namespace quillo::platform {

namespace {

bool isAbsence(int error) {
    return error == ENOENT || error == ENOTDIR;
}

}  // namespace

FileOperationError::FileOperationError(int code) : code_(code), reason_(reasonFor(code)) {}

std::string FileOperationError::reasonFor(int code) {
    // strerror itself may share one buffer between threads.
    char buffer[256];
    return ::strerror_r(code, buffer, sizeof buffer);
}

PathKind pathKind(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(withoutTrailingSlashes(path.native()).c_str(), &status) != 0) {
        return isAbsence(errno) ? PathKind::missing : PathKind::other;
    }
    if (S_ISDIR(status.st_mode)) {
        return PathKind::directory;
    }
    return S_ISREG(status.st_mode) ? PathKind::regularFile : PathKind::other;
}

bool pathExists(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(withoutTrailingSlashes(path.native()).c_str(), &status) == 0) {
        return true;
    }
    return !isAbsence(errno);
}

}  // namespace quillo::platform
