#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillo::platform {

/// The files and folders that processes hold open or work in, read once from a /proc tree:
/// every descriptor's target and every working folder that names a path. Processes and
/// descriptors that cannot be read (other users' processes, unless privileged) are passed over.
class OpenFiles final {
  public:
    OpenFiles() = default;
    explicit OpenFiles(std::vector<std::string> paths);

    static OpenFiles read(const std::filesystem::path& procRoot);

    /// Whether `url`, or for a folder anything below it, is held open.
    [[nodiscard]] bool holdsAtOrBelow(const std::filesystem::path& url) const;

  private:
    /// Sorted, so that everything below a folder follows it in one run.
    std::vector<std::string> paths_;
};

/// `OpenFiles::read` of /proc.
OpenFiles currentOpenFiles();

}  // namespace quillo::platform
