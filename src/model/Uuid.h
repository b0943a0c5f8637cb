#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillo {

/// A random version-4 UUID. Every item, record and receipt gets a fresh one, so identities are
/// never reused across scans.
class Uuid final {
  public:
    using Bytes = std::array<std::uint8_t, 16>;

    static Uuid random();
    /// Reads the canonical 36-character form, in either case.
    static std::optional<Uuid> parse(std::string_view text);

    /// The canonical upper-case form, e.g. "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
    [[nodiscard]] std::string uppercaseString() const;
    [[nodiscard]] const Bytes& bytes() const { return bytes_; }

    friend bool operator==(const Uuid&, const Uuid&) = default;
    // NOLINTNEXTLINE(modernize-use-nullptr): the checker misreads the defaulted comparison.
    friend auto operator<=>(const Uuid&, const Uuid&) = default;

  private:
    explicit Uuid(const Bytes& bytes) : bytes_(bytes) {}
    Bytes bytes_{};
};

}  // namespace quillo

template <>
struct std::hash<quillo::Uuid> {
    std::size_t operator()(const quillo::Uuid& uuid) const noexcept;
};
