// The snapshot tool's listing and the disk tool's snapshot listing as the local snapshots
// module parses them, and the date of every snapshot name found.
#include "FuzzInput.h"
#include "modules/SnapshotListParsing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = quillo::fuzz::bytesOf(data, size);
    for (const auto& snapshot : quillo::parseSnapshotList(text)) {
        (void)quillo::snapshotDate(snapshot.dateToken);
    }
    (void)quillo::parseSnapshotIdentifiers(text);
    (void)quillo::snapshotDate(text);
    return 0;
}
