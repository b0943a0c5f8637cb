#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace quillo {

/// The headless application list ("--apps") and privacy audit ("--audit"), each also as JSON
/// ("--json"). Nothing when `arguments` asks for neither; else the exit status after printing.
std::optional<int> runAppListReport(std::span<const std::string_view> arguments);

}  // namespace quillo
