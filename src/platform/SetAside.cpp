#include "platform/SetAside.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <string>

#include "platform/FreeName.h"
#include "support/Formatting.h"

namespace quillo::platform {

support::Status moveUnreadableFileAside(const std::filesystem::path& file, TimePoint now) {
    const auto renamed = claimFreeName(
        file.native() + ".unreadable-" + support::formatFileNameTimestamp(now), "",
        [&file](const std::string& aside) {
            // Renaming never follows a link at the end of `file`: a link is set aside itself.
            const bool moved =
                ::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0;
            return moved || errno == ENOENT ? 0 : errno;
        },
        "Datei konnte nicht beiseitegelegt werden");
    if (!renamed) {
        return renamed.error();
    }
    return support::Unit{};
}

}  // namespace quillo::platform
