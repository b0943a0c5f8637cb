#include "platform/AdministratorHelper.h"

#include <sys/stat.h>
#include <unistd.h>

namespace quillo::platform {

namespace {

bool isRegularFile(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

AdministratorHelper AdministratorHelper::installed() {
    return {
        .program = QUILLO_HELPER_PATH,
        .policy = QUILLO_POLICY_PATH,
    };
}

AdministratorFacts AdministratorFacts::current(const AdministratorHelper& helper) {
    return {
        .isAdministrator = [] { return ::geteuid() == 0; },
        .isHelperInstalled =
            [helper] { return isRegularFile(helper.program) && isRegularFile(helper.policy); },
    };
}

}  // namespace quillo::platform
