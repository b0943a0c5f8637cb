#pragma once

#include <optional>
#include <string>

namespace quillo::platform {

/// Writes `question` to standard error and reads one line from standard input, only when
/// standard input is a terminal; none otherwise. An input that ends gives an empty answer.
std::optional<std::string> askTerminal(const std::string& question);

}  // namespace quillo::platform
