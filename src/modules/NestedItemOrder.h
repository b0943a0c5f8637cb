#pragma once

#include "modules/CleaningModule.h"

namespace quillo {

/// `items` reordered so that every item comes before the items whose folders hold it: each
/// group of nested items takes the place of its outermost item, deepest first, and groups
/// keep their order. Removing a folder first would make its offered contents fail as missing
/// although they were removed with it.
CleanableItems innermostFirst(CleanableItems items);

}  // namespace quillo
