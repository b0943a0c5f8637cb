#include "platform/OpenFiles.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/ProcessFolders.h"

namespace quillo::platform {

namespace {

void addIfPath(std::vector<std::string>& paths,
               const std::optional<std::filesystem::path>& target) {
    // Pipes, sockets and anonymous inodes read as "pipe:[…]" and the like.
    if (target && target->is_absolute()) {
        paths.push_back(target->native());
    }
}

}  // namespace

OpenFiles::OpenFiles(std::vector<std::string> paths) : paths_(std::move(paths)) {
    std::sort(paths_.begin(), paths_.end());
    paths_.erase(std::unique(paths_.begin(), paths_.end()), paths_.end());
}

OpenFiles OpenFiles::read(const std::filesystem::path& procRoot) {
    std::vector<std::string> paths;
    forEachProcessFolder(procRoot, [&](const std::filesystem::path& processFolder) {
        addIfPath(paths, processLinkTarget(processFolder / "cwd"));
        std::error_code error;
        for (std::filesystem::directory_iterator descriptors(processFolder / "fd", error), end;
             !error && descriptors != end; descriptors.increment(error)) {
            addIfPath(paths, processLinkTarget(descriptors->path()));
        }
    });
    return OpenFiles(std::move(paths));
}

bool OpenFiles::holdsAtOrBelow(const std::filesystem::path& url) const {
    const auto& path = url.native();
    const auto first = std::lower_bound(paths_.begin(), paths_.end(), path);
    if (first == paths_.end()) {
        return false;
    }
    if (*first == path) {
        return true;
    }
    const auto folderPrefix = path.ends_with('/') ? path : path + '/';
    const auto below = std::lower_bound(paths_.begin(), paths_.end(), folderPrefix);
    return below != paths_.end() && below->starts_with(folderPrefix);
}

OpenFiles currentOpenFiles() {
    return OpenFiles::read("/proc");
}

}  // namespace quillo::platform
