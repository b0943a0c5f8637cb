#include "platform/FreeName.h"

#include <cerrno>

#include "platform/AtomicFile.h"

namespace quillo::platform {

namespace {

constexpr int kMaxAttempts = 100;

}  // namespace

support::Result<std::string> claimFreeName(const std::string& stem, std::string_view suffix,
                                           const std::function<int(const std::string&)>& claim,
                                           const std::string& action) {
    int code = EEXIST;
    for (int attempt = 1; attempt <= kMaxAttempts && code == EEXIST; ++attempt) {
        std::string name = stem;
        if (attempt > 1) {
            name += "-" + std::to_string(attempt);
        }
        name += suffix;
        code = claim(name);
        if (code == 0) {
            return name;
        }
    }
    return support::Error::make(FileWriteError(action, code));
}

}  // namespace quillo::platform
