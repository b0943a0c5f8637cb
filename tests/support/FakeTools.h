#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillo::testing {

/// A stand-in for a system tool: a shell script in a test's folder that notes every call and
/// prints the output recorded for its arguments.
class FakeTool final {
  public:
    /// Writes the script `folder/name`.
    FakeTool(const std::filesystem::path& folder, const std::string& name);

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    /// What the tool prints when called with exactly `arguments`.
    void answer(const std::vector<std::string>& arguments, const std::string& output) const;
    /// The exit status of every later call.
    void exitWith(int status) const;
    /// The arguments of every call so far, in order.
    [[nodiscard]] std::vector<std::vector<std::string>> calls() const;

  private:
    std::filesystem::path path_;
};

}  // namespace quillo::testing
