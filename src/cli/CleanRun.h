#pragma once

#include "cli/CommandLine.h"
#include "cli/CommandLineTool.h"

namespace quillo::cli {

/// `clean`: scans like `scan`, then deletes exactly what "Sicher auswählen" would select,
/// through the application's deletion service and receipt store, after a "j" typed on the
/// terminal or with "--yes"; "--dry-run" only lists it.
int runClean(const CleanRequest& request, const CommandLineEnvironment& environment);

}  // namespace quillo::cli
