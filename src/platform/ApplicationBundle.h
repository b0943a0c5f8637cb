#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::platform {

/// A bundle's information dictionary: the top-level dictionary of its "Contents/Info.plist",
/// read from XML or binary property lists alike.
class InfoDictionary final {
  public:
    /// Property-list bytes larger than this are not read: no bundle needs more, and the parser
    /// is not handed unbounded input.
    static constexpr std::size_t kMaximumBytes = std::size_t{4} * 1024 * 1024;

    /// The dictionary in `bytes`; nothing when they are no property list, its root is no
    /// dictionary, or it is beyond the parser's safe limits (see `isWithinParserLimits`).
    static std::optional<InfoDictionary> parse(std::string_view bytes);

    /// The string under `key`, byte for byte (NUL bytes included); nothing when the key is
    /// missing or holds another type.
    [[nodiscard]] std::optional<std::string> string(const char* key) const;

  private:
    explicit InfoDictionary(std::shared_ptr<void> root) : root_(std::move(root)) {}
    std::shared_ptr<void> root_;
};

/// Whether `path` names an application bundle: its extension is "app" in any case (trailing
/// slashes aside).
bool hasApplicationExtension(const std::filesystem::path& path);

/// The information dictionary of the bundle at `bundle`; nothing when "Contents/Info.plist" is
/// missing, no regular file (a link there is not followed), larger than
/// `InfoDictionary::kMaximumBytes` or unreadable.
std::optional<InfoDictionary> readInfoDictionary(const std::filesystem::path& bundle);

/// The bundle's identifier ("CFBundleIdentifier"); nothing when it is missing or no string.
std::optional<std::string> bundleIdentifier(const InfoDictionary& info);

/// The name the bundle at `bundle` is shown by: a non-empty "CFBundleDisplayName", else a
/// non-empty "CFBundleName", else the file name without its extension.
std::string bundleDisplayName(const InfoDictionary& info, const std::filesystem::path& bundle);

}  // namespace quillo::platform
