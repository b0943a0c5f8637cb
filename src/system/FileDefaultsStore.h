#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/TimePoint.h"
#include "support/Error.h"
#include "system/DefaultsStore.h"

namespace quillo {

/// The application's defaults store: one JSON object in one file, read once when the store is
/// made and rewritten atomically after every change. Keys this version does not know are kept.
/// A file that cannot be read or holds no JSON object (or one nested deeper than
/// `kMaxDefaultsDepth`) is never overwritten: the store starts empty and, before its first
/// write, moves the file aside ("<file>.unreadable-<time>").
/// Used on one thread only.
class FileDefaultsStore final : public DefaultsStore {
  public:
    explicit FileDefaultsStore(
        std::filesystem::path file,
        std::function<TimePoint()> clock = [] { return std::chrono::system_clock::now(); });

    /// "<configuration folder>/Quillo/defaults.json".
    static std::filesystem::path defaultURL();

    [[nodiscard]] std::optional<nlohmann::json> value(std::string_view key) const override;
    /// A failure is a `DefaultsStoreError`; the value is held regardless, and the next change
    /// that can be written writes it too.
    support::Status setValue(std::string_view key, nlohmann::json value) override;
    support::Status removeValue(std::string_view key) override;

  private:
    support::Status persist();

    std::filesystem::path file_;
    std::function<TimePoint()> clock_;
    nlohmann::json document_ = nlohmann::json::object();
    bool unreadableFileOnDisk_ = false;
};

/// Deepest nesting of arrays and objects a "defaults.json" may have.
inline constexpr int kMaxDefaultsDepth = 64;

/// The values of the text of a "defaults.json": nothing unless it is one JSON object nested at
/// most `kMaxDefaultsDepth` levels deep.
std::optional<nlohmann::json> decodeDefaultsDocument(std::string_view text);

/// Why a preference could not be saved; the description is German and names the reason.
class DefaultsStoreError final : public support::ErrorDetail {
  public:
    explicit DefaultsStoreError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override;

  private:
    std::string reason_;
};

}  // namespace quillo
