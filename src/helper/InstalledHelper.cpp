#include "helper/InstalledHelper.h"

#include <unistd.h>

namespace quillo {

std::filesystem::path installedHelperPath() {
    return QUILLO_HELPER_PATH;
}

std::filesystem::path installedPolicyPath() {
    return QUILLO_POLICY_PATH;
}

bool needsAdministratorHelper() {
    return ::geteuid() != 0;
}

}  // namespace quillo
