#include "system/FullDiskAccessProbe.h"

namespace quillo::FullDiskAccessProbe {

// Every module has folders of the user's own; only system folders need more, and those are
// left out one by one.
AccessScope platformAccessScope() {
    return AccessScope::rootFolders;
}

Status currentStatus() {
    return administratorStatus(
        platform::AdministratorFacts::current(platform::AdministratorHelper::installed()));
}

}  // namespace quillo::FullDiskAccessProbe
