#include "platform/FakeSystemd.h"

#include <algorithm>
#include <sstream>
#include <system_error>

#include "support/TextFiles.h"

namespace quillo::testing {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines(const fs::path& file) {
    std::vector<std::string> result;
    if (!fs::exists(file)) {
        return result;
    }
    std::istringstream text(readTextFile(file));
    for (std::string line; std::getline(text, line);) {
        result.push_back(line);
    }
    return result;
}

void writeExecutable(const fs::path& path, const std::string& contents) {
    writeTextFile(path, contents);
    fs::permissions(path, fs::perms::owner_all);
}

}  // namespace

FakeSystemd::FakeSystemd() {
    const std::string logs = (root() / "logs").string();
    fs::create_directories(logs);
    writeExecutable(systemctl(),
                    "#!/bin/sh\n"
                    "logs='" +
                        logs +
                        "'\n"
                        "units='" +
                        unitFolder().string() +
                        "'\n"
                        "shift\n"  // --user
                        "printf '%s\\n' \"$*\" >> \"$logs/calls\"\n"
                        "for unit; do :; done\n"
                        "if [ \"$1\" = daemon-reload ]; then\n"
                        "  echo $(ls \"$units\" 2>/dev/null) >> \"$logs/reloads\"\n"
                        "fi\n"
                        "code=0\n"
                        "if [ -f \"$logs/exit-$1\" ]; then code=$(cat \"$logs/exit-$1\"); fi\n"
                        "if [ \"$code\" = 0 ]; then\n"
                        "  case \"$1\" in\n"
                        "    enable) mkdir -p \"$units/timers.target.wants\" &&\n"
                        "            ln -sf \"../$unit\" \"$units/timers.target.wants/$unit\" ;;\n"
                        "    disable) rm -f \"$units/timers.target.wants/$unit\" ;;\n"
                        "  esac\n"
                        "fi\n"
                        "exit \"$code\"\n");
    writeExecutable(notifier(), "#!/bin/sh\n");
}

FakeSystemd::~FakeSystemd() {
    main_->runPending();
}

fs::path FakeSystemd::unitFolder() const {
    return root() / "home/.config/systemd/user";
}

fs::path FakeSystemd::systemctl() const {
    return root() / "tools/systemctl";
}

fs::path FakeSystemd::notifier() const {
    return root() / "tools/notify-send";
}

platform::SystemdReminderService::Setup FakeSystemd::setup() const {
    return {
        .systemctl = systemctl(),
        .unitFolder = unitFolder(),
        .findProgram =
            [notifier = notifier()](std::string_view name) {
                return name == "notify-send" ? notifier : fs::path();
            },
        .mainExecutor = main_,
        .workContext = main_,
    };
}

void FakeSystemd::failWith(const std::string& subcommand, int code) const {
    writeTextFile(root() / "logs" / ("exit-" + subcommand), std::to_string(code));
}

std::vector<std::string> FakeSystemd::calls() const {
    return lines(root() / "logs/calls");
}

void FakeSystemd::forgetCalls() const {
    std::error_code error;
    fs::remove(root() / "logs/calls", error);
}

std::vector<std::string> FakeSystemd::unitsAtReloads() const {
    return lines(root() / "logs/reloads");
}

std::set<std::string> FakeSystemd::everythingWritten() const {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root())) {
        const auto relative = entry.path().lexically_relative(root()).string();
        if (relative.rfind("tools", 0) != 0 && relative.rfind("logs", 0) != 0) {
            paths.insert(relative);
        }
    }
    return paths;
}

}  // namespace quillo::testing
