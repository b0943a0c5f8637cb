#include "ui/SystemFoldersNotice.h"

#include "ui/Banner.h"
#include "ui/QtText.h"
#include "viewmodels/LeftOutRootsText.h"

namespace quillo::ui {

QWidget* makeSystemFoldersNotice(const std::vector<LeftOutRoot>& leftOut,
                                 const std::vector<CleaningModuleDescriptor>& modules) {
    if (leftOut.empty()) {
        return nullptr;
    }
    auto* banner = makeBanner("lock.shield.fill", catalogueText("scanEmpty.systemFolders.title"),
                              qtString(leftOutRootsExplanation(leftOut, modules)));
    banner->setObjectName(QStringLiteral("systemFoldersNotice"));
    return banner;
}

}  // namespace quillo::ui
