#include "platform/SystemLog.h"

#include <syslog.h>

#include <mutex>
#include <string>

#include "platform/AppIdentity.h"

namespace quillo::platform {

namespace {

constexpr std::string_view kPublicFormat = "%{public}s";
constexpr std::string_view kPrivateFormat = "%{private}s";
constexpr std::string_view kHexDigits = "0123456789abcdef";

int priorityOf(LogLevel level) {
    return level == LogLevel::info ? LOG_INFO : LOG_ERR;
}

void appendEscaped(std::string& line, std::string_view argument) {
    for (const char character : argument) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte >= 0x20 && byte != 0x7f) {
            line += character;
            continue;
        }
        line += "\\x";
        line += kHexDigits[byte >> 4];
        line += kHexDigits[byte & 0x0f];
    }
}

}  // namespace

void writeToSystemLog(LogLevel level, std::string_view category, std::string_view line) {
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog(kApplicationIdentifier, LOG_PID, LOG_USER); });
    const std::string categoryText(category);
    const std::string text(line);
    ::syslog(priorityOf(level), "[%s] %s", categoryText.c_str(), text.c_str());
}

bool isEnabledInSystemLog(LogLevel level) {
    // A mask of 0 asks for the current mask without changing it.
    return (::setlogmask(0) & LOG_MASK(priorityOf(level))) != 0;
}

SystemLog::SystemLog(std::string category, SystemLogOptions options)
    : category_(std::move(category)), options_(std::move(options)) {}

void SystemLog::info(std::string_view format,
                     std::initializer_list<std::string_view> arguments) const {
    write(LogLevel::info, format, arguments);
}

void SystemLog::error(std::string_view format,
                      std::initializer_list<std::string_view> arguments) const {
    write(LogLevel::error, format, arguments);
}

void SystemLog::write(LogLevel level, std::string_view format,
                      std::initializer_list<std::string_view> arguments) const {
    if (options_.isEnabled && !options_.isEnabled(level)) {
        return;
    }
    options_.sink(level, category_, formatLine(format, arguments));
}

std::string SystemLog::formatLine(std::string_view format,
                                  std::initializer_list<std::string_view> arguments) const {
    std::string line;
    const auto* argument = arguments.begin();
    const auto nextArgument = [&]() -> std::string_view {
        return argument == arguments.end() ? std::string_view{} : *argument++;
    };
    for (std::size_t index = 0; index < format.size();) {
        const std::string_view rest = format.substr(index);
        if (rest.starts_with(kPublicFormat)) {
            appendEscaped(line, nextArgument());
            index += kPublicFormat.size();
        } else if (rest.starts_with(kPrivateFormat)) {
            const std::string_view value = nextArgument();
            appendEscaped(line, options_.revealsPrivateArguments ? value : kPrivatePlaceholder);
            index += kPrivateFormat.size();
        } else if (rest.starts_with("%%")) {
            line += '%';
            index += 2;
        } else {
            line += format[index];
            ++index;
        }
    }
    return line;
}

}  // namespace quillo::platform
