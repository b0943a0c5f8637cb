#include "modules/SnapshotTools.h"

namespace quillo {

SnapshotLister platformSnapshotLister() {
    return defaultSnapshotLister;
}

SnapshotDeleter platformSnapshotDeleter() {
    return defaultSnapshotDeleter;
}

}  // namespace quillo
