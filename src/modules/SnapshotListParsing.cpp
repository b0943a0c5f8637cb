#include "modules/SnapshotListParsing.h"

#include <charconv>
#include <chrono>

#include "support/TextPieces.h"

namespace quillo {

namespace {

constexpr std::string_view kNamePrefix = "com.apple.TimeMachine.";
constexpr std::string_view kNameSuffix = ".local";
constexpr std::string_view kNameField = "Name:";
constexpr std::string_view kIdentifierField = "Snap UUID:";
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kBlanksAndBars = "| \t";

/// The non-empty lines of `text`, trimmed of `characters` at both ends.
std::vector<std::string_view> trimmedLines(std::string_view text, std::string_view characters) {
    auto lines = support::nonEmptyPieces(text, '\n');
    for (auto& line : lines) {
        line = support::trimmed(line, characters);
    }
    return lines;
}

/// The decimal number in `text`, which must consist of digits only.
std::optional<int> decimal(std::string_view text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || text.empty() || text.front() == '-') {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::string> snapshotDateToken(std::string_view name) {
    if (!name.starts_with(kNamePrefix) || !name.ends_with(kNameSuffix)) {
        return std::nullopt;
    }
    const auto rest = name.substr(kNamePrefix.size());
    if (rest.size() <= kNameSuffix.size()) {
        return std::nullopt;
    }
    return std::string(rest.substr(0, rest.size() - kNameSuffix.size()));
}

std::optional<TimePoint> snapshotDate(std::string_view token) {
    // yyyy-MM-dd-HHmmss
    constexpr std::size_t kLength = 17;
    if (token.size() != kLength || token[4] != '-' || token[7] != '-' || token[10] != '-') {
        return std::nullopt;
    }
    const auto year = decimal(token.substr(0, 4));
    const auto month = decimal(token.substr(5, 2));
    const auto day = decimal(token.substr(8, 2));
    const auto hour = decimal(token.substr(11, 2));
    const auto minute = decimal(token.substr(13, 2));
    const auto second = decimal(token.substr(15, 2));
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{*year},
                              std::chrono::month(static_cast<unsigned>(*month)),
                              std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    const sys_seconds moment = sys_days{date} + hours{*hour} + minutes{*minute} + seconds{*second};
    // The clock counts nanoseconds in 64 bits, which reaches only from 1677 to 2262.
    if (moment < ceil<seconds>(TimePoint::min()) || moment > floor<seconds>(TimePoint::max())) {
        return std::nullopt;
    }
    return time_point_cast<system_clock::duration>(moment);
}

std::vector<LocalSnapshot> parseSnapshotList(std::string_view text) {
    std::vector<LocalSnapshot> snapshots;
    for (const auto line : trimmedLines(text, kBlanks)) {
        auto token = snapshotDateToken(line);
        if (!token) {
            continue;
        }
        const auto date = snapshotDate(*token).value_or(kUnreadableSnapshotDate);
        snapshots.push_back(LocalSnapshot{Uuid::random(), std::move(*token), date, std::nullopt});
    }
    return snapshots;
}

std::map<std::string, std::string> parseSnapshotIdentifiers(std::string_view text) {
    std::map<std::string, std::string> identifiers;
    std::optional<std::string> pendingToken;
    for (const auto line : trimmedLines(text, kBlanksAndBars)) {
        if (line.starts_with(kNameField)) {
            pendingToken =
                snapshotDateToken(support::trimmed(line.substr(kNameField.size()), kBlanks));
        } else if (line.starts_with(kIdentifierField) && pendingToken) {
            const auto identifier = support::trimmed(line.substr(kIdentifierField.size()), kBlanks);
            if (!identifier.empty()) {
                identifiers[*pendingToken] = identifier;
            }
            pendingToken.reset();
        }
    }
    return identifiers;
}

}  // namespace quillo
