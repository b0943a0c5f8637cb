#include "modules/SnapshotTools.h"

#include <string>
#include <utility>

#include "modules/SnapshotListParsing.h"
#include "platform/SystemTool.h"

namespace quillo {

namespace {

constexpr auto kBackupTool = "/usr/bin/tmutil";
constexpr auto kDiskTool = "/usr/sbin/diskutil";

std::string outputOrNothing(support::Result<std::string> run) {
    return run ? std::move(run).value() : std::string();
}

}  // namespace

std::string UnusableSnapshotNameError::description() const {
    return "Ungültiger Snapshot-Name: \"" + token_ + "\"";
}

void defaultSnapshotLister(support::Completion<std::vector<LocalSnapshot>> done) {
    platform::runTool(kBackupTool, {"listlocalsnapshots", "/"},
                      [done = std::move(done)](support::Result<std::string> listing) {
                          auto snapshots = parseSnapshotList(outputOrNothing(std::move(listing)));
                          platform::runTool(
                              kDiskTool, {"apfs", "listSnapshots", "/"},
                              [done, snapshots = std::move(snapshots)](
                                  support::Result<std::string> volumeListing) mutable {
                                  const auto identifiers = parseSnapshotIdentifiers(
                                      outputOrNothing(std::move(volumeListing)));
                                  for (auto& snapshot : snapshots) {
                                      if (const auto found = identifiers.find(snapshot.dateToken);
                                          found != identifiers.end()) {
                                          snapshot.apfsUUID = found->second;
                                      }
                                  }
                                  done(std::move(snapshots));
                              });
                      });
}

void defaultSnapshotDeleter(const LocalSnapshot& snapshot,
                            support::Completion<support::Unit> done) {
    if (snapshot.dateToken.empty() || snapshot.dateToken.front() == '-') {
        done(support::Error::make(UnusableSnapshotNameError(snapshot.dateToken)));
        return;
    }
    platform::runToolIgnoringOutput(kBackupTool, {"deletelocalsnapshots", snapshot.dateToken},
                                    std::move(done));
}

}  // namespace quillo
