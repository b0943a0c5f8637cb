#include "platform/ExecutableSearch.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <system_error>

#include "support/TextPieces.h"

namespace quillo::platform {

namespace {

std::string searchPath(const EnvironmentLookup& environment) {
    if (const char* path = environment("PATH"); path != nullptr) {
        return path;
    }
    const std::size_t length = ::confstr(_CS_PATH, nullptr, 0);
    std::string fallback(length, '\0');
    if (length == 0 || ::confstr(_CS_PATH, fallback.data(), length) != length) {
        return "/usr/local/bin:/usr/bin:/bin";
    }
    fallback.pop_back();
    return fallback;
}

bool isExecutableFile(const std::filesystem::path& candidate) {
    std::error_code error;
    return std::filesystem::is_regular_file(candidate, error) &&
           ::faccessat(AT_FDCWD, candidate.c_str(), X_OK, AT_EACCESS) == 0;
}

}  // namespace

std::filesystem::path findExecutable(std::string_view name, const EnvironmentLookup& environment) {
    if (name.empty() || name.find('/') != std::string_view::npos) {
        return {};
    }
    const std::string folders = searchPath(environment);
    for (const auto folder : support::nonEmptyPieces(folders, ':')) {
        if (folder.front() != '/') {
            continue;
        }
        // Normal form, because systemd refuses a command path such as "/usr/bin//tool".
        auto candidate = (std::filesystem::path(folder) / name).lexically_normal();
        if (isExecutableFile(candidate)) {
            return candidate;
        }
    }
    return {};
}

}  // namespace quillo::platform
