#include "platform/TerminalQuestion.h"

#include <unistd.h>

#include <iostream>

namespace quillo::platform {

std::optional<std::string> askTerminal(const std::string& question) {
    if (isatty(STDIN_FILENO) == 0) {
        return std::nullopt;
    }
    std::cerr << question << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        return std::string();
    }
    return answer;
}

}  // namespace quillo::platform
