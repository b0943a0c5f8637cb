// The links of /proc as the quit request and the open-files check read them. The input is a
// NUL-separated list of link targets (a path never holds a NUL); each is also taken as a
// process folder's name. The last one is asked of the open files, and the answer checked
// against a plain search.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "platform/ApplicationBundle.h"
#include "platform/ApplicationTermination.h"
#include "platform/OpenFiles.h"
#include "platform/ProcessFolders.h"

namespace {

bool isAtOrBelow(const std::string& path, const std::string& query) {
    const auto folderPrefix = query.ends_with('/') ? query : query + '/';
    return path == query || path.starts_with(folderPrefix);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillo::platform;
    const auto targets = quillo::fuzz::parts(quillo::fuzz::bytesOf(data, size), '\0');
    std::vector<std::string> openPaths;
    for (const auto target : targets) {
        const std::filesystem::path path(withoutDeletedMark(std::string(target)));
        (void)processID(std::filesystem::path("/proc") / std::string(target));
        if (const auto bundle = enclosingBundle(path);
            bundle && !hasApplicationExtension(*bundle)) {
            std::abort();
        }
        if (path.is_absolute()) {
            openPaths.push_back(path.native());
        }
    }
    const std::string query(targets.back());
    const bool expected =
        std::any_of(openPaths.begin(), openPaths.end(),
                    [&](const std::string& path) { return isAtOrBelow(path, query); });
    if (OpenFiles(openPaths).holdsAtOrBelow(query) != expected) {
        std::abort();
    }
    return 0;
}
