#pragma once

#include <filesystem>

namespace quillo::testing {

/// A fresh folder under the system's temporary directory, removed with everything in it when
/// the object goes away. Every test that touches the file system works inside one.
class TemporaryDirectory final {
  public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(const std::filesystem::path& relative) const {
        return path_ / relative;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace quillo::testing
