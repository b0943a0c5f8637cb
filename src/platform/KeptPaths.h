#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "model/KeepList.h"

namespace quillo::platform {

/// The keep-list applied to paths on this machine. A path is touched when it is kept, lies below
/// a kept path, or is a folder in which something a rule names exists now (a pattern's folder
/// holds a kept path only where a match is found, so "~/.cache/*/wichtig" leaves out only the
/// cache folders that hold a "wichtig"). A path is judged as given and again with the links in
/// its parent folders resolved, against the rules as written and with the links in their leading
/// wildcard-free folders resolved, so that another spelling of the same place does not slip
/// past. Resolved parents are remembered, so items sharing a folder cost one lookup; safe to ask
/// from several threads at once.
class KeptPaths final {
  public:
    explicit KeptPaths(const KeepList& list);

    [[nodiscard]] bool empty() const { return written_.empty(); }
    /// Whether `path` is kept, lies below a kept path or is a folder that holds one.
    [[nodiscard]] bool touches(const std::string& path) const;

  private:
    [[nodiscard]] bool touchesAsSpelled(const std::string& path) const;
    [[nodiscard]] std::optional<std::string> resolvedParent(const std::string& parent) const;

    KeepList written_;
    KeepList resolved_;
    mutable std::mutex resolvedParentsLock_;
    mutable std::map<std::string, std::optional<std::string>, std::less<>> resolvedParents_;
};

}  // namespace quillo::platform
