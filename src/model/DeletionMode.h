#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "model/LocalizableText.h"
#include "model/RawValue.h"

namespace quillo {

/// How an item is deleted: removed plainly, or after one or three random-overwrite passes.
enum class DeletionMode { standard, secureOverwrite, secureOverwriteThreePass };

/// In the order the settings offer them.
inline constexpr std::array allDeletionModes{
    DeletionMode::standard,
    DeletionMode::secureOverwrite,
    DeletionMode::secureOverwriteThreePass,
};

template <>
struct RawValueTable<DeletionMode> {
    static constexpr std::array<std::pair<DeletionMode, std::string_view>, 3> cases{{
        {DeletionMode::standard, "standard"},
        {DeletionMode::secureOverwrite, "secureOverwrite"},
        {DeletionMode::secureOverwriteThreePass, "secureOverwriteThreePass"},
    }};
};

LocalizableText label(DeletionMode mode);

}  // namespace quillo
