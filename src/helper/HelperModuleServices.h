#pragma once

#include "modules/DefaultModuleSet.h"

namespace quillo {

/// The default modules' services for the administrator helper on this machine: only the
/// system's own folders (read from no variable), everything run on `executor`, receipts in
/// memory, and every application counted as installed, so that nothing is taken for residue.
DefaultModuleServices helperModuleServices(const support::ExecutorRef& executor);

}  // namespace quillo
