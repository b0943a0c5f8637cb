#pragma once

#include <filesystem>
#include <optional>
#include <span>

namespace quillo {

/// The first dropped location whose extension is "app", compared without regard to case;
/// nothing when the drop holds none, and the drop is then refused.
std::optional<std::filesystem::path> firstDroppedApplication(
    std::span<const std::filesystem::path> dropped);

}  // namespace quillo
