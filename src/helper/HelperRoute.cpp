#include "helper/HelperRoute.h"

#include <utility>

#include "helper/HelperClient.h"

namespace quillo {

ElevatedRouteMaker helperRoute(HelperLaunch launch, support::Provider<bool> includeSystemFolders) {
    return [launch = std::move(launch),
            includeSystemFolders = std::move(includeSystemFolders)](ElevatedRouteParts parts) {
        auto client = HelperClient::create(launch, parts.modeProvider, std::move(parts.keptPaths),
                                           std::move(parts.store), std::move(parts.context),
                                           std::move(parts.logRetentionDays));
        return ElevatedRoute{
            .includeSystemFolders = includeSystemFolders,
            .scan =
                [client, depthProvider = std::move(parts.depthProvider)](
                    std::set<CleaningModuleID> modules, support::Completion<ScanResults> done) {
                    depthProvider([client, modules = std::move(modules),
                                   done = std::move(done)](ScanDepth depth) mutable {
                        client->scan(modules, depth, std::move(done));
                    });
                },
            .deleteItems =
                [client](CleanableItems items) { return client->deleteItems(std::move(items)); },
        };
    };
}

}  // namespace quillo
