#pragma once

#include "text/TextTable.h"

namespace quillo::text {

/// Every key the user interface may ask for, with its German default. Parsed once, on first use,
/// from the JSON built into the library.
const TextTable& catalogue();

/// The texts the built platform words differently, by catalogue key or own-key text: the
/// catalogue speaks of macOS, and on Linux several of its texts would not be true.
const TextTable& platformWording();

}  // namespace quillo::text
