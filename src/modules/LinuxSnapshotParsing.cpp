#include "modules/LinuxSnapshotParsing.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <nlohmann/json.hpp>

#include "support/JsonMembers.h"
#include "support/TextPieces.h"

namespace quillo {

namespace {

constexpr std::string_view kBlanks = " \t\r";
// Newer snapper versions draw their tables with box characters instead of "|" and "-".
constexpr std::string_view kBoxBar = "\u2502";
constexpr std::string_view kTimeshiftTags = "OBHDWM";

int number(std::string_view digits) {
    int value = 0;
    for (const char digit : digits) {
        value = value * 10 + (digit - '0');
    }
    return value;
}

/// The local time of the given calendar fields, or nothing when they name no valid time.
std::optional<TimePoint> localTime(std::string_view year, std::string_view month,
                                   std::string_view day, std::string_view hour,
                                   std::string_view minute, std::string_view second) {
    for (const auto field : {year, month, day, hour, minute, second}) {
        if (!support::isAsciiDigits(field)) {
            return std::nullopt;
        }
    }
    std::tm calendar{};
    calendar.tm_year = number(year) - 1900;
    calendar.tm_mon = number(month) - 1;
    calendar.tm_mday = number(day);
    calendar.tm_hour = number(hour);
    calendar.tm_min = number(minute);
    calendar.tm_sec = number(second);
    calendar.tm_isdst = -1;
    const std::tm asked = calendar;
    const std::time_t moment = std::mktime(&calendar);
    // mktime moves fields that are out of range (13th month) instead of failing.
    if (moment == -1 || calendar.tm_mon != asked.tm_mon || calendar.tm_mday != asked.tm_mday) {
        return std::nullopt;
    }
    return std::chrono::system_clock::from_time_t(moment);
}

/// "YYYY-MM-DD HH:MM:SS" as snapper prints it, in local time.
std::optional<TimePoint> snapperDate(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    return localTime(text.substr(0, 4), text.substr(5, 2), text.substr(8, 2), text.substr(11, 2),
                     text.substr(14, 2), text.substr(17, 2));
}

/// Control characters (tabs, line breaks) would break the line the label is shown on.
std::string printable(std::string_view text) {
    std::string shown(support::trimmed(text, kBlanks));
    std::ranges::replace_if(
        shown, [](unsigned char c) { return c < 0x20 || c == 0x7f; }, ' ');
    return shown;
}

std::string labelFor(std::string_view date, std::string_view description, std::string_view marks) {
    std::string label(date);
    const auto shown = printable(description);
    if (!shown.empty()) {
        label += " – " + shown;
    }
    label += " (" + std::string(marks) + ")";
    return label;
}

std::string_view firstColumn(std::string_view row) {
    const auto bar = std::min(row.find('|'), row.find(kBoxBar));
    return support::trimmed(row.substr(0, bar), kBlanks);
}

std::optional<LocalSnapshot> snapperSnapshot(const std::string& configuration,
                                             const nlohmann::json& record) {
    const auto snapshotNumber = support::integerMember(record, "number");
    const auto date = support::stringMember(record, "date");
    if (!snapshotNumber || *snapshotNumber <= 0 || !date ||
        support::booleanMember(record, "default").value_or(false) ||
        support::booleanMember(record, "active").value_or(false)) {
        return std::nullopt;
    }
    const auto token = std::to_string(*snapshotNumber);
    const auto user = support::stringMember(record, "user").value_or("");
    std::string marks = "snapper " + configuration + " Nr. " + token;
    if (!user.empty()) {
        marks += ", " + printable(user);
    }
    return LocalSnapshot{
        .id = Uuid::random(),
        .dateToken = token,
        .date = snapperDate(*date).value_or(kUnreadableSnapshotDate),
        .apfsUUID = std::nullopt,
        .source = SnapshotSource::snapper,
        .configuration = configuration,
        .label = labelFor(*date, support::stringMember(record, "description").value_or(""), marks),
    };
}

/// The first word of `rest`, which then holds what follows it, trimmed.
std::string_view takeWord(std::string_view& rest) {
    const auto end = rest.find_first_of(kBlanks);
    const auto word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{}
                                         : support::trimmed(rest.substr(end), kBlanks);
    return word;
}

/// One table row: "Num  >  Name  Tags  Description". Timeshift tags every snapshot; a word of
/// tag letters after the name is taken for the tags.
std::optional<LocalSnapshot> timeshiftSnapshot(std::string_view row) {
    std::string_view rest = support::trimmed(row, kBlanks);
    const auto index = takeWord(rest);
    const auto marker = takeWord(rest);
    const auto nameWord = takeWord(rest);
    if (!support::isAsciiDigits(index) || marker != ">" || !isTimeshiftName(nameWord)) {
        return std::nullopt;
    }
    std::string_view description = rest;
    std::string_view tags = takeWord(rest);
    if (tags.empty() || !std::ranges::all_of(tags, [](char c) {
            return kTimeshiftTags.find(c) != std::string_view::npos;
        })) {
        tags = {};
    } else {
        description = rest;
    }
    const std::string name(nameWord);
    const auto date =
        localTime(nameWord.substr(0, 4), nameWord.substr(5, 2), nameWord.substr(8, 2),
                  nameWord.substr(11, 2), nameWord.substr(14, 2), nameWord.substr(17, 2));
    std::string shownDate = name;
    shownDate[10] = ' ';
    shownDate[13] = ':';
    shownDate[16] = ':';
    std::string marks = "Timeshift";
    if (!tags.empty()) {
        marks += " " + std::string(tags);
    }
    return LocalSnapshot{
        .id = Uuid::random(),
        .dateToken = name,
        .date = date.value_or(kUnreadableSnapshotDate),
        .apfsUUID = std::nullopt,
        .source = SnapshotSource::timeshift,
        .configuration = {},
        .label = labelFor(shownDate, description, marks),
    };
}

}  // namespace

bool isPlainConfigurationName(std::string_view name) {
    return !name.empty() && name.front() != '-' && std::ranges::all_of(name, [](unsigned char c) {
        return std::isalnum(c) ||
               std::string_view("_-.@:+").find(static_cast<char>(c)) != std::string_view::npos;
    });
}

bool isTimeshiftName(std::string_view name) {
    constexpr std::string_view kPattern = "dddd-dd-dd_dd-dd-dd";
    if (name.size() != kPattern.size()) {
        return false;
    }
    for (std::size_t index = 0; index < name.size(); ++index) {
        const bool digitWanted = kPattern[index] == 'd';
        if (digitWanted ? !std::isdigit(static_cast<unsigned char>(name[index]))
                        : name[index] != kPattern[index]) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> parseSnapperConfigs(std::string_view text) {
    std::vector<std::string> configurations;
    const auto rows = support::nonEmptyPieces(text, '\n');
    // The first row is the header ("Config | Subvolume"), the second its rule.
    for (std::size_t index = 1; index < rows.size(); ++index) {
        const auto name = firstColumn(rows[index]);
        if (isPlainConfigurationName(name) &&
            std::ranges::find(configurations, name) == configurations.end()) {
            configurations.emplace_back(name);
        }
    }
    return configurations;
}

std::vector<LocalSnapshot> parseSnapperList(const std::string& configuration,
                                            std::string_view text) {
    std::vector<LocalSnapshot> snapshots;
    const auto listing = nlohmann::json::parse(text, nullptr, false);
    const auto* records = support::jsonMember(listing, configuration.c_str());
    if (!isPlainConfigurationName(configuration) || records == nullptr || !records->is_array()) {
        return snapshots;
    }
    for (const auto& record : *records) {
        if (auto snapshot = snapperSnapshot(configuration, record)) {
            snapshots.push_back(std::move(*snapshot));
        }
    }
    return snapshots;
}

std::vector<LocalSnapshot> parseTimeshiftList(std::string_view text) {
    std::vector<LocalSnapshot> snapshots;
    bool inTable = false;
    for (const auto row : support::nonEmptyPieces(text, '\n')) {
        const auto trimmedRow = support::trimmed(row, kBlanks);
        if (!inTable) {
            inTable = trimmedRow.size() >= 3 &&
                      trimmedRow.find_first_not_of('-') == std::string_view::npos;
            continue;
        }
        if (auto snapshot = timeshiftSnapshot(row)) {
            snapshots.push_back(std::move(*snapshot));
        }
    }
    return snapshots;
}

}  // namespace quillo
