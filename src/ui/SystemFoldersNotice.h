#pragma once

#include <QWidget>
#include <vector>

#include "model/CleaningModuleDescriptor.h"
#include "modules/RootAccess.h"

namespace quillo::ui {

/// The start screen's banner naming the system folders a scan of this process leaves out and
/// how administrator rights include them; nothing when none is left out.
QWidget* makeSystemFoldersNotice(const std::vector<LeftOutRoot>& leftOut,
                                 const std::vector<CleaningModuleDescriptor>& modules);

}  // namespace quillo::ui
