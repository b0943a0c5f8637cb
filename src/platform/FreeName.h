#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "support/Result.h"

namespace quillo::platform {

/// Finds a name for something new without replacing anything: calls `claim` with
/// "<stem><suffix>", then "<stem>-2<suffix>", "<stem>-3<suffix>", … while it answers EEXIST, at
/// most 100 times. `claim` answers 0 or the error number of its failure. Gives the name claimed,
/// or a `FileWriteError` (platform/AtomicFile.h) of `action` with the last error.
support::Result<std::string> claimFreeName(const std::string& stem, std::string_view suffix,
                                           const std::function<int(const std::string&)>& claim,
                                           const std::string& action);

}  // namespace quillo::platform
