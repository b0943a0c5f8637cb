#include "cli/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "model/RawValue.h"
#include "text/Text.h"

namespace quillo::cli {

namespace {

constexpr std::array<std::pair<std::string_view, DeletionMode>, 3> kModeNames{{
    {"standard", DeletionMode::standard},
    {"secure", DeletionMode::secureOverwrite},
    {"secure3", DeletionMode::secureOverwriteThreePass},
}};

std::string moduleList() {
    std::string list;
    for (const auto id : allCleaningModuleIDs) {
        list += (list.empty() ? "" : ", ") + std::string(rawValue(id));
    }
    return list;
}

UsageError usage(std::string_view key, const std::vector<text::FormatArgument>& arguments) {
    return UsageError{text::format(key, arguments)};
}

// Walks the arguments of one command, option by option.
class OptionReader {
  public:
    OptionReader(std::string command, const std::vector<std::string>& arguments, std::size_t first)
        : command_(std::move(command)), arguments_(arguments), index_(first) {}

    [[nodiscard]] bool atEnd() const { return index_ >= arguments_.size(); }

    /// The next option's name, without a value given as "--name=value".
    std::string next() {
        std::string argument = arguments_[index_++];
        if (const auto equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            inlineValue_ = argument.substr(equals + 1);
            argument.resize(equals);
        } else {
            inlineValue_.reset();
        }
        return argument;
    }

    /// Whether the option just read carried "=value", which only options with a value take.
    [[nodiscard]] bool hasInlineValue() const { return inlineValue_.has_value(); }

    /// The value of the option just read: after "=" or the next argument.
    std::optional<std::string> value() {
        if (inlineValue_) {
            return std::exchange(inlineValue_, std::nullopt);
        }
        if (atEnd()) {
            return std::nullopt;
        }
        return arguments_[index_++];
    }

    [[nodiscard]] UsageError unknown(const std::string& option) const {
        if (!option.starts_with("-")) {
            return usage("cli.usage.unexpectedArgument.format", {option});
        }
        return usage("cli.usage.unknownOption.format", {option, command_});
    }

  private:
    std::string command_;
    const std::vector<std::string>& arguments_;
    std::size_t index_;
    std::optional<std::string> inlineValue_;
};

std::optional<UsageError> readModule(const std::string& option, OptionReader& reader,
                                     ScanChoice& choice) {
    const auto name = reader.value();
    if (!name) {
        return usage("cli.usage.missingValue.format", {option});
    }
    const auto id = fromRawValue<CleaningModuleID>(*name);
    if (!id) {
        return usage("cli.usage.unknownModule.format", {*name, moduleList()});
    }
    choice.modules.insert(*id);
    return std::nullopt;
}

std::optional<UsageError> readMode(const std::string& option, OptionReader& reader,
                                   CleanRequest& request) {
    const auto name = reader.value();
    if (!name) {
        return usage("cli.usage.missingValue.format", {option});
    }
    const auto found = std::ranges::find_if(
        kModeNames, [&name](const auto& entry) { return entry.first == *name; });
    if (found == kModeNames.end()) {
        return usage("cli.usage.unknownMode.format", {*name});
    }
    if (request.mode && *request.mode != found->second) {
        return usage("cli.usage.conflictingModes", {});
    }
    request.mode = found->second;
    return std::nullopt;
}

// The options of `scan` and `clean`; those that only `clean` takes are unknown to `scan`.
ParsedCommandLine parseOptions(const std::string& command,
                               const std::vector<std::string>& arguments, std::size_t first) {
    const bool cleans = command == "clean";
    OptionReader reader(command, arguments, first);
    CleanRequest request;
    while (!reader.atEnd()) {
        const auto option = reader.next();
        const auto isFlag = [&](std::string_view name) {
            return option == name && !reader.hasInlineValue();
        };
        std::optional<UsageError> error;
        if (isFlag("--deep")) {
            request.choice.deep = true;
        } else if (isFlag("--json")) {
            request.choice.json = true;
        } else if (option == "--module") {
            error = readModule(option, reader, request.choice);
        } else if (cleans && isFlag("--dry-run")) {
            request.dryRun = true;
        } else if (cleans && (isFlag("--yes") || isFlag("-y"))) {
            request.assumeYes = true;
        } else if (cleans && option == "--mode") {
            error = readMode(option, reader, request);
        } else {
            error = reader.unknown(option);
        }
        if (error) {
            return *error;
        }
    }
    if (cleans) {
        return request;
    }
    return ScanRequest{.choice = request.choice};
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    if (std::ranges::any_of(arguments, [](const std::string& argument) {
            return argument == "--help" || argument == "-h";
        })) {
        return HelpRequest{};
    }
    if (arguments.empty() || arguments.front().starts_with("-")) {
        return parseOptions("scan", arguments, 0);
    }
    const auto& command = arguments.front();
    if (command == "scan" || command == "clean") {
        return parseOptions(command, arguments, 1);
    }
    if (command == "help" && arguments.size() == 1) {
        return HelpRequest{};
    }
    return usage("cli.usage.unknownCommand.format", {command});
}

std::string helpText() {
    return text::format("cli.help.format", {moduleList()});
}

}  // namespace quillo::cli
