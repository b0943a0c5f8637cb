#include "platform/SystemdUnits.h"

#include <cstdio>

#include "support/Utf8.h"

namespace quillo::platform::SystemdUnits {

namespace {

bool isAsciiAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isCommandLineText(std::string_view text) {
    return support::isValidUtf8(text) && text.find('\0') == std::string_view::npos;
}

std::string controlEscape(unsigned char c) {
    switch (c) {
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        default: {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            return escaped;
        }
    }
}

// Shown by systemctl only; the identifier is checked, so it holds no specifier.
std::string unitSection(const NotificationRequest& request) {
    return "[Unit]\nDescription=Quillo-Erinnerung " + request.identifier + "\n";
}

}  // namespace

bool isUnitIdentifier(std::string_view identifier) {
    if (identifier.empty() || !isAsciiAlphanumeric(identifier.front())) {
        return false;
    }
    for (const char c : identifier) {
        if (!isAsciiAlphanumeric(c) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

std::string timerName(std::string_view identifier) {
    return std::string(identifier) + ".timer";
}

std::string serviceName(std::string_view identifier) {
    return std::string(identifier) + ".service";
}

std::optional<std::string> problemWith(const NotificationRequest& request) {
    if (!isUnitIdentifier(request.identifier)) {
        return "Ungültige Kennung „" + request.identifier + "“";
    }
    if (request.trigger.hour < 0 || request.trigger.hour > 23) {
        return "Stunde " + std::to_string(request.trigger.hour) + " liegt nicht zwischen 0 und 23";
    }
    if (!request.trigger.repeats) {
        return "Nur täglich wiederkehrende Mitteilungen werden unterstützt";
    }
    if (!isCommandLineText(request.title) || !isCommandLineText(request.body)) {
        return "Titel oder Text ist kein gültiges UTF-8 oder enthält ein NUL-Zeichen";
    }
    return std::nullopt;
}

std::string commandLineWord(std::string_view text) {
    std::string word = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            word += '\\';
            word += c;
        } else if (c == '%' || c == '$') {
            word += c;
            word += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            word += controlEscape(byte);
        } else {
            word += c;
        }
    }
    return word + "\"";
}

std::string timerUnit(const NotificationRequest& request) {
    // Not persistent: a reminder to scan that was missed while the computer was off is of no use
    // later, and firing it at the next start would only greet the user with a stale prompt.
    char calendar[32];
    std::snprintf(calendar, sizeof calendar, "*-*-* %02d:00:00", request.trigger.hour);
    return "# Written by Quillo for its reminder; removed when the reminder is turned off.\n" +
           unitSection(request) +
           "\n"
           "[Timer]\n"
           "OnCalendar=" +
           calendar +
           "\n"
           "Persistent=false\n"
           "\n"
           "[Install]\n"
           "WantedBy=timers.target\n";
}

std::string serviceUnit(const NotificationRequest& request, const std::filesystem::path& notifier) {
    // "--" ends the options, so that a title beginning with "-" is still the title.
    std::string command = commandLineWord(notifier.native()) + " --app-name=Quillo";
    if (!request.playsSound) {
        command += " --hint=boolean:suppress-sound:true";
    }
    command += " -- " + commandLineWord(request.title) + " " + commandLineWord(request.body);
    return "# Written by Quillo for its reminder; removed when the reminder is turned off.\n" +
           unitSection(request) +
           "\n"
           "[Service]\n"
           "Type=oneshot\n"
           "ExecStart=" +
           command + "\n";
}

}  // namespace quillo::platform::SystemdUnits
