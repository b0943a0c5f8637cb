#include "platform/SetAside.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <string>

#include "platform/AtomicFile.h"
#include "support/Formatting.h"

namespace quillo::platform {

namespace {

constexpr int kMaxAttempts = 100;

support::Error asideError(int code) {
    return support::Error::make(FileWriteError("Datei konnte nicht beiseitegelegt werden", code));
}

}  // namespace

support::Status moveUnreadableFileAside(const std::filesystem::path& file, TimePoint now) {
    const std::string base = file.native() + ".unreadable-" + support::formatFileNameTimestamp(now);
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string aside = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0 ||
            errno == ENOENT) {
            return support::Unit{};
        }
        if (errno != EEXIST) {
            return asideError(errno);
        }
    }
    return asideError(EEXIST);
}

}  // namespace quillo::platform
