#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/Error.h"
#include "support/Result.h"

namespace quillo::platform {

/// A failed write of a whole file; the description is German and names the platform's reason.
class FileWriteError final : public support::ErrorDetail {
  public:
    FileWriteError(std::string action, int code);

    [[nodiscard]] int code() const { return code_; }
    [[nodiscard]] std::string description() const override;

  private:
    std::string action_;
    int code_;
};

/// Creates `folder` and every missing folder above it; an existing folder is fine.
support::Status createFolders(const std::filesystem::path& folder);

/// Replaces `file` with `contents` as one step: the bytes go to a new temporary file in the same
/// folder, are flushed to storage and then renamed over `file`, so that readers see the old
/// file or the new one, never a part. The temporary file is removed on every failure.
support::Status writeFileAtomically(const std::filesystem::path& file, std::string_view contents);

/// Writes `contents` as a new file "<stem><suffix>" (or "<stem>-2<suffix>", … while the name is
/// taken) that appears complete or not at all, and never replaces anything. Gives its path.
support::Result<std::filesystem::path> writeNewFile(const std::filesystem::path& stem,
                                                    std::string_view suffix,
                                                    std::string_view contents);

}  // namespace quillo::platform
