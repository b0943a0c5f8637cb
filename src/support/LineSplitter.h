#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::support {

/// Cuts a byte stream that arrives in pieces into "\n"-terminated lines, never holding more
/// than one line of at most `maxLineBytes`.
class LineSplitter final {
  public:
    /// Called with each line without its "\n"; nothing for a line longer than the cap, which
    /// is skipped up to its end.
    using LineHandler = std::function<void(std::optional<std::string_view> line)>;

    explicit LineSplitter(std::size_t maxLineBytes) : maxLineBytes_(maxLineBytes) {}

    void feed(std::string_view bytes, const LineHandler& onLine);
    /// Hands over an unterminated last line, if any.
    void finish(const LineHandler& onLine);

  private:
    std::size_t maxLineBytes_;
    std::string pending_;
    bool oversize_ = false;
};

}  // namespace quillo::support
