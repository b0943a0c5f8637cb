#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quillo::platform {

enum class LogLevel { info, error };

/// Takes one finished line of a category.
using LogSink =
    std::function<void(LogLevel level, std::string_view category, std::string_view line)>;

/// Writes to the system log (syslog, and so the journal) under the application's identifier,
/// the category in brackets before the line.
void writeToSystemLog(LogLevel level, std::string_view category, std::string_view line);

/// Whether the system log currently takes lines of `level`.
bool isEnabledInSystemLog(LogLevel level);

/// What a private argument shows while private arguments are not revealed.
inline constexpr std::string_view kPrivatePlaceholder = "<private>";

struct SystemLogOptions {
    LogSink sink = writeToSystemLog;
    /// A line of a level that is not enabled is never formatted.
    std::function<bool(LogLevel)> isEnabled = isEnabledInSystemLog;
    /// The private-logging switch: off, private arguments are written as `kPrivatePlaceholder`.
    bool revealsPrivateArguments = false;
};

/// One category of the application's log. Lines are made from a format in which "%{public}s"
/// and "%{private}s" take the arguments in order; "%%" stands for "%". Control characters in
/// arguments are written as "\xHH", so that no argument can forge a line of its own.
class SystemLog final {
  public:
    explicit SystemLog(std::string category, SystemLogOptions options = {});

    void info(std::string_view format, std::initializer_list<std::string_view> arguments) const;
    void error(std::string_view format, std::initializer_list<std::string_view> arguments) const;

    /// The line that `format` and `arguments` make under this log's privacy switch.
    [[nodiscard]] std::string formatLine(std::string_view format,
                                         std::initializer_list<std::string_view> arguments) const;

  private:
    void write(LogLevel level, std::string_view format,
               std::initializer_list<std::string_view> arguments) const;

    std::string category_;
    SystemLogOptions options_;
};

}  // namespace quillo::platform
