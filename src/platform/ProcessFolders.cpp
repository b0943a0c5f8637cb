#include "platform/ProcessFolders.h"

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace quillo::platform {

namespace {

constexpr std::string_view kDeletedMark = " (deleted)";

bool isProcessFolderName(const std::string& name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void forEachProcessFolder(const std::filesystem::path& procRoot,
                          const std::function<void(const std::filesystem::path&)>& visit) {
    std::error_code error;
    for (std::filesystem::directory_iterator processes(procRoot, error), end;
         !error && processes != end; processes.increment(error)) {
        if (isProcessFolderName(processes->path().filename().string())) {
            visit(processes->path());
        }
    }
}

bool isProcessOwnedBy(const std::filesystem::path& processFolder, uid_t uid) {
    struct stat status {};
    return ::lstat(processFolder.c_str(), &status) == 0 && status.st_uid == uid;
}

std::optional<std::filesystem::path> processLinkTarget(const std::filesystem::path& link) {
    std::error_code error;
    auto target = std::filesystem::read_symlink(link, error).string();
    if (error) {
        return std::nullopt;
    }
    return withoutDeletedMark(std::move(target));
}

std::string withoutDeletedMark(std::string target) {
    if (target.ends_with(kDeletedMark)) {
        target.resize(target.size() - kDeletedMark.size());
    }
    return target;
}

}  // namespace quillo::platform
