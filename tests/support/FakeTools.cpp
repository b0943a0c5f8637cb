#include "support/FakeTools.h"

#include <sys/stat.h>

#include "support/TextFiles.h"
#include "support/TextPieces.h"

namespace quillo::testing {

namespace {

std::string keyOf(const std::vector<std::string>& arguments) {
    std::string key;
    for (const auto& argument : arguments) {
        key += argument + "_";
    }
    for (auto& character : key) {
        if (character == '/' || character == ' ') {
            character = '_';
        }
    }
    return key;
}

}  // namespace

FakeTool::FakeTool(const std::filesystem::path& folder, const std::string& name)
    : path_(folder / name) {
    const auto base = path_.string();
    writeTextFile(path_,
                  "#!/bin/sh\n"
                  "for a in \"$@\"; do printf '%s\\t' \"$a\"; done >> '" +
                      base + ".calls'\necho >> '" + base +
                      ".calls'\n"
                      "key=$(for a in \"$@\"; do printf '%s_' \"$a\"; done | tr '/ ' '__')\n"
                      "[ -f '" +
                      base + ".out/'\"$key\" ] && cat '" + base +
                      ".out/'\"$key\"\n"
                      "exit $(cat '" +
                      base + ".exit' 2>/dev/null || echo 0)\n");
    ::chmod(path_.c_str(), 0755);
}

void FakeTool::answer(const std::vector<std::string>& arguments, const std::string& output) const {
    writeTextFile(path_.string() + ".out/" + keyOf(arguments), output);
}

void FakeTool::exitWith(int status) const {
    writeTextFile(path_.string() + ".exit", std::to_string(status) + "\n");
}

std::vector<std::vector<std::string>> FakeTool::calls() const {
    std::vector<std::vector<std::string>> calls;
    const auto log = path_.string() + ".calls";
    if (!std::filesystem::exists(log)) {
        return calls;
    }
    const auto text = readTextFile(log);
    for (const auto line : support::nonEmptyPieces(text, '\n')) {
        std::vector<std::string> arguments;
        for (const auto argument : support::nonEmptyPieces(line, '\t')) {
            arguments.emplace_back(argument);
        }
        calls.push_back(std::move(arguments));
    }
    return calls;
}

}  // namespace quillo::testing
