#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
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
/// blocking. A file longer than `maxBytes` fails, before reading when its stated size says so and
/// at the first chunk past the limit when it grows while it is read.
support::Result<std::optional<std::string>> readWholeFile(
    const std::filesystem::path& file,
    std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

/// `readWholeFile` without following a link at the end of the path: a link, like a folder or a
/// FIFO, is no regular file and fails.
support::Result<std::optional<std::string>> readRegularFile(const std::filesystem::path& file);

}  // namespace quillo::platform
