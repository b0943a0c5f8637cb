#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "support/Result.h"

namespace quillo::text {

/// Key → text. The catalogue and every translation have this shape: one flat JSON object whose
/// values are all strings.
using TextTable = std::map<std::string, std::string, std::less<>>;

/// A text table that could not be read.
class TextTableError final : public support::ErrorDetail {
  public:
    explicit TextTableError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override;
    [[nodiscard]] const std::string& reason() const { return reason_; }

  private:
    std::string reason_;
};

support::Result<TextTable> parseTextTable(std::string_view json);

}  // namespace quillo::text
