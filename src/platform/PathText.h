#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Path text as the safe file operations read it: by components, never resolved.
namespace quillo::platform {

/// `path` without trailing slashes ("/" stays "/"), so that the last component is the entry
/// itself and a final link is not resolved by a slash after it.
std::string withoutTrailingSlashes(std::string_view path);

/// `name` in `folder`, with one slash between them.
std::string joinedPath(std::string folder, std::string_view name);

/// The non-empty components of `path`: repeated slashes count as one.
std::vector<std::string_view> pathComponents(std::string_view path);

/// Whether any component is "." or "..", which name a folder only through its neighbours.
bool hasDotComponent(const std::vector<std::string_view>& components);

/// The components of `path` after those of `root`, when `path` lies strictly below `root` by
/// name (both absolute or both relative) and none of them is "." or ".."; else nothing. The
/// views point into `path`.
std::optional<std::vector<std::string_view>> componentsBelow(std::string_view root,
                                                             std::string_view path);

/// Whether the last component of `path` is "." or "..".
bool endsInDotComponent(std::string_view path);

}  // namespace quillo::platform
