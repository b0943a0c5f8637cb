// The administrator helper, started through pkexec: answers one request line from standard
// input with message lines on standard output (see helper/HelperProtocol.h). It deletes only
// what its own scan of the system's folders found.
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "helper/HelperModuleServices.h"
#include "helper/HelperService.h"
#include "support/LineSplitter.h"
#include "support/RunLoop.h"

namespace {

using namespace quillo;

// The first line of standard input; nothing when it exceeds the cap.
std::optional<std::string> readRequestLine() {
    support::LineSplitter splitter(kMaxRequestLineBytes);
    std::optional<std::optional<std::string>> line;
    const auto take = [&line](std::optional<std::string_view> read) {
        if (!line) {
            line = read ? std::optional<std::string>(*read) : std::nullopt;
        }
    };
    std::array<char, std::size_t{64} * 1024> buffer{};
    while (!line) {
        const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            splitter.finish(take);
            break;
        }
        splitter.feed({buffer.data(), static_cast<std::size_t>(count)}, take);
    }
    return line ? *line : std::optional<std::string>(std::string());
}

void send(const HelperMessage& message) {
    std::cout << encodeMessage(message) << std::flush;
}

}  // namespace

int main() {
    // Only pkexec starts the helper, and it names the caller; the caller's environment is never
    // consulted, so nothing else of it is needed.
    const char* caller = std::getenv("PKEXEC_UID");
    if (caller == nullptr || *caller == '\0') {
        std::cerr << "quillo-helper wird nur über pkexec gestartet.\n";
        return 2;
    }
    // A caller that went away must not stop a deletion halfway through an item.
    ::signal(SIGPIPE, SIG_IGN);
    const auto line = readRequestLine();
    if (!line) {
        send(HelperRefusal{"Die Anfrage ist zu groß."});
        return 0;
    }
    auto loop = std::make_shared<support::RunLoop>();
    bool answered = false;
    auto service = HelperService::create(helperModuleServices(loop), send);
    service->answer(*line, [&answered] { answered = true; });
    loop->runUntil([&answered] { return answered; });
    return 0;
}
