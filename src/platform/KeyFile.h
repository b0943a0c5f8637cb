#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _GKeyFile;  // NOLINT(bugprone-reserved-identifier): GLib's own name

namespace quillo::platform {

/// The bytes of the regular file at `file` (links followed), at most `limit` of them; nothing
/// when it cannot be read, is no regular file or is larger than `limit`. Never blocks on a FIFO.
std::optional<std::string> readCappedFile(const std::filesystem::path& file, std::size_t limit);

/// A keyfile (desktop entry, Flatpak metadata and overrides, installation configs) as GLib's
/// GKeyFile reads it. Values that are not valid UTF-8 or longer than `kMaxValueBytes` read as
/// missing, so a hostile file can neither crash nor flood what is shown.
class KeyFile final {
  public:
    static constexpr std::size_t kDefaultLimit = std::size_t{1} << 20;
    static constexpr std::size_t kMaxValueBytes = std::size_t{64} * 1024;
    static constexpr std::size_t kMaxListEntries = 1000;

    /// Nothing when the file cannot be read within `limit` bytes or is no keyfile.
    static std::optional<KeyFile> read(const std::filesystem::path& file,
                                       std::size_t limit = kDefaultLimit);
    static std::optional<KeyFile> parse(std::string_view text);

    [[nodiscard]] bool hasGroup(const std::string& group) const;
    [[nodiscard]] std::vector<std::string> groups() const;
    [[nodiscard]] std::vector<std::string> keys(const std::string& group) const;
    [[nodiscard]] std::optional<std::string> string(const std::string& group,
                                                    const std::string& key) const;
    /// The value for the user's locale (LANG, LC_MESSAGES…), else the plain one.
    [[nodiscard]] std::optional<std::string> localeString(const std::string& group,
                                                          const std::string& key) const;
    /// A ";"-separated list, without empty entries; at most `kMaxListEntries` of them.
    [[nodiscard]] std::vector<std::string> stringList(const std::string& group,
                                                      const std::string& key) const;

  private:
    explicit KeyFile(std::shared_ptr<_GKeyFile> file) : file_(std::move(file)) {}
    std::shared_ptr<_GKeyFile> file_;
};

}  // namespace quillo::platform
