#pragma once

#include <string>
#include <vector>

#include "model/CleaningModuleDescriptor.h"
#include "modules/RootAccess.h"

namespace quillo {

/// The left-out roots as the user reads them: each folder with its module's name in brackets,
/// separated by commas ("/var/cache (System-Caches), /var/log (System-Logs)").
std::string leftOutRootsList(const std::vector<LeftOutRoot>& roots,
                             const std::vector<CleaningModuleDescriptor>& modules);

/// The start screen's explanation with that list filled in.
std::string leftOutRootsExplanation(const std::vector<LeftOutRoot>& roots,
                                    const std::vector<CleaningModuleDescriptor>& modules);

}  // namespace quillo
