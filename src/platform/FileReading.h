#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "support/Error.h"
#include "support/Result.h"

namespace quillo::platform {

/// A file that is there but cannot be read. The description is the platform's reason alone
/// (or that the path is no regular file), for callers to put into their own words.
class FileReadError final : public support::ErrorDetail {
  public:
    explicit FileReadError(std::string reason) : reason_(std::move(reason)) {}
    [[nodiscard]] std::string description() const override { return reason_; }

  private:
    std::string reason_;
};

/// The whole contents of the regular file at `file`, or nothing when there is none. What is
/// checked is what is read (one descriptor); a FIFO in the file's place fails instead of
/// blocking.
support::Result<std::optional<std::string>> readWholeFile(const std::filesystem::path& file);

}  // namespace quillo::platform
