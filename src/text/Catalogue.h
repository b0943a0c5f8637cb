#pragma once

#include "text/TextTable.h"

namespace quillo::text {

/// Every key the user interface may ask for, with its German default. Parsed once, on first use,
/// from the JSON built into the library.
const TextTable& catalogue();

}  // namespace quillo::text
