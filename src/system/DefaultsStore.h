#pragma once

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "support/Result.h"

namespace quillo {

/// The user's preferences as JSON values under string keys. Readers check the type of what they
/// get: the values may have been written by an older version or by hand.
class DefaultsStore {
  public:
    virtual ~DefaultsStore() = default;

    /// Nothing when the key holds no value.
    [[nodiscard]] virtual std::optional<nlohmann::json> value(std::string_view key) const = 0;

    /// Both take effect for later reads at once; a failure says only that the change could
    /// not be made to last.
    virtual support::Status setValue(std::string_view key, nlohmann::json value) = 0;
    virtual support::Status removeValue(std::string_view key) = 0;
};

/// Keeps the values for the life of the object; never fails.
class InMemoryDefaultsStore final : public DefaultsStore {
  public:
    InMemoryDefaultsStore() = default;
    explicit InMemoryDefaultsStore(std::map<std::string, nlohmann::json, std::less<>> values)
        : values_(std::move(values)) {}

    [[nodiscard]] std::optional<nlohmann::json> value(std::string_view key) const override;
    support::Status setValue(std::string_view key, nlohmann::json value) override;
    support::Status removeValue(std::string_view key) override;

  private:
    std::map<std::string, nlohmann::json, std::less<>> values_;
};

}  // namespace quillo
