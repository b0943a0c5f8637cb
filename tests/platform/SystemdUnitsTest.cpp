#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessRunner.h"
#include "platform/SystemdUnits.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"
#include "system/DailyReminder.h"

namespace quillo::platform {
namespace {

namespace fs = std::filesystem;

constexpr char kVerifier[] = "/usr/bin/systemd-analyze";

/// The argument vector systemd makes of an ExecStart value, as its manual describes it: words
/// split at unquoted white space, double quotes removed, C escapes resolved, then "%%" taken for
/// "%" by the specifier expansion and "$$" for "$" by the variable expansion. Anything else that
/// those steps would change (a lone specifier or variable, an unknown escape, an open quote)
/// gives nothing, because the units must never rely on it.
std::optional<std::vector<std::string>> systemdArguments(std::string_view line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    const auto escaped = [&line, &at](std::string& word) {
        if (++at >= line.size()) {
            return false;
        }
        const char c = line[at++];
        switch (c) {
            case '\\':
            case '"':
                word += c;
                return true;
            case 'n':
                word += '\n';
                return true;
            case 't':
                word += '\t';
                return true;
            case 'r':
                word += '\r';
                return true;
            case 'x':
                if (at + 2 > line.size()) {
                    return false;
                }
                word += static_cast<char>(std::stoi(std::string(line.substr(at, 2)), nullptr, 16));
                at += 2;
                return true;
            default:
                return false;
        }
    };
    while (at < line.size()) {
        if (line[at] == ' ') {
            ++at;
            continue;
        }
        std::string word;
        bool quoted = false;
        while (at < line.size() && (quoted || line[at] != ' ')) {
            if (line[at] == '"') {
                quoted = !quoted;
                ++at;
            } else if (line[at] == '\\') {
                if (!escaped(word)) {
                    return std::nullopt;
                }
            } else {
                word += line[at++];
            }
        }
        if (quoted) {
            return std::nullopt;
        }
        std::string expanded;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] == '%' || word[i] == '$') {
                if (i + 1 == word.size() || word[i + 1] != word[i]) {
                    return std::nullopt;
                }
                ++i;
            }
            expanded += word[i];
        }
        words.push_back(std::move(expanded));
    }
    return words;
}

std::string execStart(const std::string& unit) {
    const std::string key = "\nExecStart=";
    const auto start = unit.find(key);
    if (start == std::string::npos) {
        return {};
    }
    const auto end = unit.find('\n', start + key.size());
    return unit.substr(start + key.size(), end - start - key.size());
}

NotificationRequest requestWithTexts(std::string title, std::string body) {
    auto request = DailyReminder::request(9);
    request.title = std::move(title);
    request.body = std::move(body);
    return request;
}

const std::string kAwkwardBody =
    "Sag \"Hallo\" zu 100% \\ C:\\Pfad\\ $HOME ${X} $$ %% %n ; \\\n"
    "zweite Zeile\tmit Tab \x01 und \x7f — Übermorgen.\\";

TEST(SystemdUnitsTest, TheTimerFiresDailyAtTheStartOfTheHourAndCatchesNothingUp) {
    EXPECT_EQ(SystemdUnits::timerUnit(DailyReminder::request(9)),
              "# Written by Quillo for its reminder; removed when the reminder is turned off.\n"
              "[Unit]\n"
              "Description=Quillo-Erinnerung quillo.daily-reminder\n"
              "\n"
              "[Timer]\n"
              "OnCalendar=*-*-* 09:00:00\n"
              "Persistent=false\n"
              "\n"
              "[Install]\n"
              "WantedBy=timers.target\n");
    EXPECT_NE(
        SystemdUnits::timerUnit(DailyReminder::request(0)).find("\nOnCalendar=*-*-* 00:00:00\n"),
        std::string::npos);
    EXPECT_NE(
        SystemdUnits::timerUnit(DailyReminder::request(23)).find("\nOnCalendar=*-*-* 23:00:00\n"),
        std::string::npos);
}

TEST(SystemdUnitsTest, TheServiceShowsTheTextsSilentlyWithNotifySend) {
    EXPECT_EQ(SystemdUnits::serviceUnit(DailyReminder::request(9), "/usr/bin/notify-send"),
              "# Written by Quillo for its reminder; removed when the reminder is turned off.\n"
              "[Unit]\n"
              "Description=Quillo-Erinnerung quillo.daily-reminder\n"
              "\n"
              "[Service]\n"
              "Type=oneshot\n"
              "ExecStart=\"/usr/bin/notify-send\" --app-name=Quillo "
              "--hint=boolean:suppress-sound:true -- \"Quillo\" "
              "\"Zeit für einen schnellen Scan deiner Systemdaten.\"\n");

    auto sounding = DailyReminder::request(9);
    sounding.playsSound = true;
    EXPECT_EQ(systemdArguments(execStart(SystemdUnits::serviceUnit(sounding, "/bin/n"))),
              (std::vector<std::string>{"/bin/n", "--app-name=Quillo", "--", "Quillo",
                                        "Zeit für einen schnellen Scan deiner Systemdaten."}));
}

TEST(SystemdUnitsTest, QuotesPercentsDollarsBackslashesAndControlsComeOutExactly) {
    const auto request = requestWithTexts("-Titel mit \"%s\"", kAwkwardBody);
    const auto line =
        execStart(SystemdUnits::serviceUnit(request, "/opt/my tools/100%/notify-send"));
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(systemdArguments(line),
              (std::vector<std::string>{"/opt/my tools/100%/notify-send", "--app-name=Quillo",
                                        "--hint=boolean:suppress-sound:true", "--", request.title,
                                        request.body}));
    EXPECT_EQ(SystemdUnits::commandLineWord(""), "\"\"");
    EXPECT_EQ(systemdArguments(SystemdUnits::commandLineWord(";")), std::vector<std::string>{";"});
}

TEST(SystemdUnitsTest, SystemdItselfAcceptsTheUnitsOfAwkwardTexts) {
    if (!fs::exists(kVerifier)) {
        GTEST_SKIP() << kVerifier << " is missing; the units are checked by the parser above only";
    }
    const testing::TemporaryDirectory folder;
    const auto notifier = folder / "bin" / "notify-send";
    testing::writeTextFile(notifier, "#!/bin/sh\n");
    fs::permissions(notifier, fs::perms::owner_all);
    const auto request = requestWithTexts("Quillo", kAwkwardBody);
    testing::writeTextFile(folder / "quillo.daily-reminder.timer",
                           SystemdUnits::timerUnit(request));
    testing::writeTextFile(folder / "quillo.daily-reminder.service",
                           SystemdUnits::serviceUnit(request, notifier));

    auto promise = std::make_shared<std::promise<support::Result<ProcessRunResult>>>();
    auto verified = promise->get_future();
    // Offline: verify reads the given files only and needs no running manager.
    runProcess(
        kVerifier,
        {"verify", "--man=no", "--generators=no", (folder / "quillo.daily-reminder.timer").string(),
         (folder / "quillo.daily-reminder.service").string()},
        [promise](support::Result<ProcessRunResult> result) {
            promise->set_value(std::move(result));
        });
    ASSERT_EQ(verified.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    const auto outcome = verified.get();
    ASSERT_TRUE(outcome.ok()) << outcome.error().description();
    EXPECT_EQ(outcome.value().exitCode, 0) << outcome.value().standardError;
    EXPECT_EQ(outcome.value().standardError, "");
}

TEST(SystemdUnitsTest, OnlyPlainNamesBecomeUnits) {
    for (const std::string name : {"quillo.daily-reminder", "a", "A_b-9.c"}) {
        EXPECT_TRUE(SystemdUnits::isUnitIdentifier(name)) << name;
    }
    for (const std::string name :
         {"", ".hidden", "-x", "../evil", "a/b", "a b", "a\\x2d", "ä", "a@b", "a%i"}) {
        EXPECT_FALSE(SystemdUnits::isUnitIdentifier(name)) << name;
    }
}

TEST(SystemdUnitsTest, RequestsTheUnitsCannotCarryAreNamed) {
    EXPECT_EQ(SystemdUnits::problemWith(DailyReminder::request(9)), std::nullopt);
    const std::vector<std::pair<std::string, std::function<void(NotificationRequest&)>>> spoilt{
        {"escaping identifier", [](auto& request) { request.identifier = "../evil"; }},
        {"hour -1", [](auto& request) { request.trigger.hour = -1; }},
        {"hour 24", [](auto& request) { request.trigger.hour = 24; }},
        {"once only", [](auto& request) { request.trigger.repeats = false; }},
        {"NUL in the title", [](auto& request) { request.title = std::string("a\0b", 3); }},
        {"body not UTF-8", [](auto& request) { request.body = "\xff"; }},
    };
    for (const auto& [name, spoil] : spoilt) {
        auto request = DailyReminder::request(9);
        spoil(request);
        EXPECT_TRUE(SystemdUnits::problemWith(request).has_value()) << name;
    }
}

}  // namespace
}  // namespace quillo::platform
