#include "helper/InstalledHelper.h"

#include <unistd.h>

#include "platform/AdministratorHelper.h"

namespace quillo {

std::filesystem::path installedHelperPath() {
    return platform::AdministratorHelper::installed().program;
}

std::filesystem::path installedPolicyPath() {
    return platform::AdministratorHelper::installed().policy;
}

bool needsAdministratorHelper() {
    return ::geteuid() != 0;
}

}  // namespace quillo
