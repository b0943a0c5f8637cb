#pragma once

#include "model/CleanableItem.h"

namespace quillo {

/// Whether "Sicher auswählen" takes the item: safe by default, not recently changed and removable
/// by this process. The window's selection, the report's count and the command-line clean all
/// ask this one question.
bool belongsToSafeSelection(const CleanableItem& item);

}  // namespace quillo
