#include "modules/RootAccess.h"

#include <algorithm>

#include "platform/Removability.h"

namespace quillo {

namespace {

template <typename Root, typename Folder>
void leaveOut(std::vector<Root>& roots, CleaningModuleID moduleID, const FolderTest& isOutOfReach,
              Folder folderOf, std::vector<LeftOutRoot>& leftOut) {
    std::erase_if(roots, [&](const Root& root) {
        const std::filesystem::path& folder = folderOf(root);
        if (!isOutOfReach(folder)) {
            return false;
        }
        leftOut.push_back({.moduleID = moduleID, .folder = folder});
        return true;
    });
}

}  // namespace

std::vector<LeftOutRoot> leaveOutRootsOutOfReach(ModuleLocations& locations,
                                                 const FolderTest& isOutOfReach) {
    const auto itself = [](const std::filesystem::path& folder) -> const auto& {
        return folder;
    };
    std::vector<LeftOutRoot> leftOut;
    leaveOut(locations.cacheRoots, CleaningModuleID::systemCaches, isOutOfReach, itself, leftOut);
    leaveOut(locations.logRoots, CleaningModuleID::systemLogs, isOutOfReach, itself, leftOut);
    leaveOut(locations.tempRoots, CleaningModuleID::tempFiles, isOutOfReach, itself, leftOut);
    leaveOut(locations.reportRoots, CleaningModuleID::diagnosticReports, isOutOfReach, itself,
             leftOut);
    leaveOut(locations.deepReportRoots, CleaningModuleID::diagnosticReports, isOutOfReach, itself,
             leftOut);
    leaveOut(
        locations.residualRoots, CleaningModuleID::applicationResidual, isOutOfReach,
        [](const ResidualRoot& root) -> const auto& { return root.url; }, leftOut);
    leaveOut(locations.fontRoots, CleaningModuleID::fontCache, isOutOfReach, itself, leftOut);
    return leftOut;
}

std::vector<LeftOutRoot> platformLeftOutRoots() {
    auto locations = platformLocations();
    return leaveOutRootsOutOfReach(locations, platform::isOutOfReach);
}

}  // namespace quillo
