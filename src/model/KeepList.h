#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Error.h"
#include "support/Provider.h"

namespace quillo {

/// The user's paths that nothing offers or touches: absolute paths of folders and files, where
/// "*" in a component stands for any run of characters within that one component. A kept path
/// keeps everything below it, and a folder that holds it is left out whole, so that no deletion
/// of the folder can reach it (`platform::KeptPaths` decides what a folder holds).
class KeepList final {
  public:
    KeepList() = default;
    /// Rules that `ruleError` refuses are dropped; the others are kept in order, each once.
    explicit KeepList(const std::vector<std::string>& rules);

    /// Why `rule` cannot be kept (German), or nothing.
    static std::optional<std::string> ruleError(std::string_view rule);
    /// `rule` with repeated and trailing slashes removed.
    static std::string normalised(std::string_view rule);

    [[nodiscard]] const std::vector<std::string>& rules() const { return rules_; }
    [[nodiscard]] bool empty() const { return rules_.empty(); }

    /// Whether the absolute `path` is kept or lies below a kept path.
    [[nodiscard]] bool keeps(std::string_view path) const;
    /// The components past `path` of every rule that names something strictly below it.
    [[nodiscard]] std::vector<std::vector<std::string>> rulesBelow(std::string_view path) const;

    /// Whether the path component `name` matches the rule component `pattern`.
    static bool matchesComponent(std::string_view pattern, std::string_view name);

    friend bool operator==(const KeepList&, const KeepList&) = default;

  private:
    std::vector<std::string> rules_;
};

/// Answers with an empty keep-list, for whoever is given none.
support::Provider<KeepList> keepingNothing();

/// A rule the keep-list cannot hold, with the German reason.
class KeepListRuleError final : public support::ErrorDetail {
  public:
    explicit KeepListRuleError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override { return reason_; }

  private:
    std::string reason_;
};

}  // namespace quillo
