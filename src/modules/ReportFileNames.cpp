#include "modules/ReportFileNames.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "support/TextPieces.h"

namespace quillo {

namespace {

bool isDecimal(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

bool isHexadecimal(std::string_view text) {
    return std::ranges::all_of(text, [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// The crash handler names a report after the program's path with every "/" made "_", followed
// by the user's number: "_usr_bin_gedit.1000.crash".
std::optional<std::string> crashedProgramPath(const std::filesystem::path& url) {
    if (support::asciiLowercased(url.extension().string()) != ".crash") {
        return std::nullopt;
    }
    const auto stem = url.stem().string();
    const auto dot = stem.rfind('.');
    if (dot == std::string::npos || dot < 2 || stem.front() != '_' ||
        !isDecimal(std::string_view(stem).substr(dot + 1))) {
        return std::nullopt;
    }
    auto program = stem.substr(0, dot);
    std::ranges::replace(program, '_', '/');
    return program;
}

// systemd writes bytes that would be ambiguous in the name ('.', '/', blanks, control
// characters, '\') as "\xHH".
std::string withoutEscapes(std::string_view text) {
    std::string plain;
    for (std::size_t index = 0; index < text.size(); ++index) {
        const auto escape = text.substr(index, 4);
        if (escape.size() == 4 && escape.starts_with("\\x") && isHexadecimal(escape.substr(2))) {
            plain.push_back(
                static_cast<char>(std::stoi(std::string(escape.substr(2)), nullptr, 16)));
            index += 3;
        } else {
            plain.push_back(text[index]);
        }
    }
    return plain;
}

}  // namespace

std::optional<std::string> reportName(const std::filesystem::path& url) {
    if (auto program = crashedProgramPath(url)) {
        return program;
    }
    const auto stem = url.stem().string();
    const auto separator = stem.find('_');
    if (separator == std::string::npos) {
        return std::nullopt;
    }
    return stem.substr(0, separator);
}

std::optional<std::string> coredumpProgram(const std::filesystem::path& url) {
    static constexpr std::array<std::string_view, 3> kCompressions{"zst", "lz4", "xz"};
    const auto name = url.filename().string();
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto dot = name.find('.', start);
        fields.push_back(std::string_view(name).substr(start, dot - start));
        if (dot == std::string::npos) {
            break;
        }
        start = dot + 1;
    }
    if (fields.size() == 7 &&
        std::ranges::find(kCompressions, fields.back()) != kCompressions.end()) {
        fields.pop_back();
    }
    if (fields.size() != 6 || fields[0] != "core" || fields[1].empty() || !isDecimal(fields[2]) ||
        fields[3].size() != 32 || !isHexadecimal(fields[3]) || !isDecimal(fields[4]) ||
        !isDecimal(fields[5])) {
        return std::nullopt;
    }
    return withoutEscapes(fields[1]);
}

}  // namespace quillo
