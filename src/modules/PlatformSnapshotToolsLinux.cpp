#include "modules/LinuxSnapshotTools.h"
#include "modules/SnapshotTools.h"

namespace quillo {

SnapshotLister platformSnapshotLister() {
    return linuxSnapshotLister({});
}

SnapshotDeleter platformSnapshotDeleter() {
    return linuxSnapshotDeleter({});
}

}  // namespace quillo
