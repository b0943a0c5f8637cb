#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::platform {

/// The top-level dictionary of a property list (XML or binary), read-only. Move-only: it owns
/// the parsed tree.
class PropertyListDictionary final {
  public:
    /// The dictionary `bytes` encode; nothing when they are no property list, its top level is
    /// no dictionary, or it is beyond the parser's safe limits (see isWithinParserLimits).
    static std::optional<PropertyListDictionary> parse(std::string_view bytes);

    [[nodiscard]] bool contains(std::string_view key) const;
    /// The value of `key` when it is a string (possibly empty); nothing when it is missing or of
    /// another type. Bytes as stored, up to a NUL byte.
    [[nodiscard]] std::optional<std::string> stringValue(std::string_view key) const;

  private:
    struct Release {
        void operator()(void* node) const;
    };
    using Node = std::unique_ptr<void, Release>;

    explicit PropertyListDictionary(Node root) : root_(std::move(root)) {}
    [[nodiscard]] void* item(std::string_view key) const;

    Node root_;
};

/// The dictionary of the property list file at `file`; nothing when it cannot be read, is
/// longer than `maxBytes`, or does not parse as a dictionary.
std::optional<PropertyListDictionary> readPropertyListDictionary(const std::filesystem::path& file,
                                                                 std::size_t maxBytes);

}  // namespace quillo::platform
