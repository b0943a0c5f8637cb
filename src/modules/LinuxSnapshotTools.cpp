#include "modules/LinuxSnapshotTools.h"

#include <unistd.h>

#include <memory>
#include <utility>

#include "modules/LinuxSnapshotParsing.h"
#include "modules/SnapshotItemPaths.h"
#include "modules/SnapshotTools.h"
#include "platform/SystemTool.h"

namespace quillo {

namespace {

std::string outputOrNothing(const support::Result<std::string>& run) {
    return run ? run.value() : std::string();
}

/// One listing: the snapper configurations one after another, then Timeshift.
struct Listing : std::enable_shared_from_this<Listing> {
    Listing(LinuxSnapshotTools tools, support::Completion<std::vector<LocalSnapshot>> done)
        : tools(std::move(tools)), done(std::move(done)) {}

    LinuxSnapshotTools tools;
    support::Completion<std::vector<LocalSnapshot>> done;
    std::vector<std::string> configurations{};
    std::size_t next = 0;
    std::vector<LocalSnapshot> snapshots{};

    void listConfiguration() {
        if (next == configurations.size()) {
            listTimeshift();
            return;
        }
        const auto& configuration = configurations[next++];
        platform::runTool(
            tools.snapper, {"--jsonout", "-c", configuration, "list"},
            [self = shared_from_this(), configuration](const support::Result<std::string>& listed) {
                auto found = parseSnapperList(configuration, outputOrNothing(listed));
                std::ranges::move(found, std::back_inserter(self->snapshots));
                self->listConfiguration();
            });
    }

    void listTimeshift() {
        platform::runTool(tools.timeshift, {"--list"},
                          [self = shared_from_this()](const support::Result<std::string>& listed) {
                              auto found = parseTimeshiftList(outputOrNothing(listed));
                              std::ranges::move(found, std::back_inserter(self->snapshots));
                              self->done(std::move(self->snapshots));
                          });
    }
};

}  // namespace

bool LinuxSnapshotTools::defaultMayRunTools() {
    return ::geteuid() == 0;
}

SnapshotLister linuxSnapshotLister(LinuxSnapshotTools tools) {
    return [tools = std::move(tools)](support::Completion<std::vector<LocalSnapshot>> done) {
        if (!tools.mayRunTools()) {
            done(std::vector<LocalSnapshot>{});
            return;
        }
        auto listing = std::make_shared<Listing>(tools, std::move(done));
        platform::runTool(
            tools.snapper, {"list-configs"}, [listing](const support::Result<std::string>& listed) {
                listing->configurations = parseSnapperConfigs(outputOrNothing(listed));
                listing->listConfiguration();
            });
    };
}

SnapshotDeleter linuxSnapshotDeleter(LinuxSnapshotTools tools) {
    return [tools = std::move(tools)](const LocalSnapshot& snapshot,
                                      support::Completion<support::Unit> done) {
        // Only what reads back as the same snapshot from its own path reaches a command line.
        const auto checked = linuxSnapshotAt(snapshotItemPath(snapshot));
        if (!checked || checked->source != snapshot.source) {
            done(support::Error::make(UnusableSnapshotNameError(snapshot.dateToken)));
            return;
        }
        if (checked->source == SnapshotSource::snapper) {
            platform::runToolIgnoringOutput(
                tools.snapper, {"-c", checked->configuration, "delete", checked->dateToken},
                std::move(done));
        } else {
            platform::runToolIgnoringOutput(
                tools.timeshift, {"--delete", "--snapshot", checked->dateToken, "--scripted"},
                std::move(done));
        }
    };
}

}  // namespace quillo
