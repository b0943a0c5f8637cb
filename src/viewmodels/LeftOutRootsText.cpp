#include "viewmodels/LeftOutRootsText.h"

#include <algorithm>

#include "text/Text.h"

namespace quillo {

std::string leftOutRootsList(const std::vector<LeftOutRoot>& roots,
                             const std::vector<CleaningModuleDescriptor>& modules) {
    std::string list;
    for (const auto& root : roots) {
        if (!list.empty()) {
            list += ", ";
        }
        list += root.folder.string();
        const auto module =
            std::ranges::find(modules, root.moduleID, &CleaningModuleDescriptor::id);
        if (module != modules.end()) {
            list += " (" + text::text(module->displayName) + ")";
        }
    }
    return list;
}

std::string leftOutRootsExplanation(const std::vector<LeftOutRoot>& roots,
                                    const std::vector<CleaningModuleDescriptor>& modules) {
    return text::format("scanEmpty.systemFolders.body.format", {leftOutRootsList(roots, modules)});
}

}  // namespace quillo
