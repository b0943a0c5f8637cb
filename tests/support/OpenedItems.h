#pragma once

#include <filesystem>

#include "platform/OpenedItem.h"

// Opens items under the deletion guard with a test's own folder as the only area.
namespace quillo::testing {

/// `item` opened with `area` as the scope's one area and a home inside it that no test uses.
support::Result<platform::OpenedItem> openBelow(const std::filesystem::path& area,
                                                const std::filesystem::path& item);

/// Opens `item` below `area` and removes it.
support::Status removeBelow(const std::filesystem::path& area, const std::filesystem::path& item,
                            const platform::BeforeDescent& beforeDescent = {});

}  // namespace quillo::testing
