#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLineTool.h"
#include "modules/FakeLinuxSystem.h"
#include "support/TreeBuilders.h"

// The command line driven in-process over a fake Linux system: its modules, deletion service and
// receipts file are the application's, only the roots and the terminal are the test's.
namespace quillo::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr std::int64_t kThreeDays = 3 * std::int64_t{86'400};

class CommandLineToolTest : public ::testing::Test, protected testing::FakeLinuxSystem {
  protected:
    CommandLineToolTest() : FakeLinuxSystem(ReceiptStore::InMemory{}) {
        testing::makeFile(oldTemp, 4000);
        testing::setAgeByTheClock(oldTemp, kThreeDays);
        // Changed just now: offered, but "Sicher auswählen" leaves it alone.
        testing::makeFile(youngTemp, 4000);
    }

    int run(const std::vector<std::string>& arguments) {
        const CommandLineEnvironment environment{
            .makeServices =
                [this] {
                    return testing::fakeModuleServices(
                        work,
                        linuxLocations({.systemRoot = system,
                                        .environment =
                                            [this](const char* name) {
                                                return std::string(name) == "HOME"
                                                           ? homeText.c_str()
                                                           : nullptr;
                                            }}),
                        ReceiptStore::OnDisk{.url = receiptsFile});
                },
            .settings = settings,
            .main = main,
            .runUntil =
                [this](const std::function<bool()>& finished) {
                    while (!finished() && work->runAll() + main->runAll() > 0) {
                    }
                    ASSERT_TRUE(finished()) << "the run stalled";
                },
            .askTerminal =
                [this](const std::string& question) {
                    questions.push_back(question);
                    return terminal();
                },
            .leftOutRoots = [] { return std::vector<LeftOutRoot>{}; },
            .now = std::chrono::steady_clock::now,
            .out = out,
            .err = err,
        };
        return runCommandLine(arguments, environment);
    }

    [[nodiscard]] std::size_t receiptCount() const {
        if (!fs::exists(receiptsFile)) {
            return 0;
        }
        return nlohmann::json::parse(std::ifstream(receiptsFile)).size();
    }

    std::string homeText = home.string();
    fs::path oldTemp = system / "tmp/old-download.part";
    fs::path youngTemp = system / "tmp/just-written";
    fs::path receiptsFile = folder / "data/Quillo/receipts.json";
    std::function<std::optional<std::string>()> terminal = [] { return std::nullopt; };
    std::vector<std::string> questions;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CommandLineToolTest, TheReportCountsWhatSafeSelectionTakes) {
    EXPECT_EQ(run({"--module", "tempFiles"}), exitSuccess);
    EXPECT_THAT(out.str(), HasSubstr("Temporäre Dateien: 2 Objekte, "));
    EXPECT_THAT(out.str(), HasSubstr("(1 sicher löschbar)"));
    EXPECT_TRUE(fs::exists(oldTemp) && fs::exists(youngTemp));
}

TEST_F(CommandLineToolTest, CleanWithYesDeletesTheSafeSelectionWithReceipts) {
    EXPECT_EQ(run({"clean", "--yes", "--module", "tempFiles", "--json"}), exitSuccess) << err.str();
    EXPECT_FALSE(fs::exists(oldTemp));
    EXPECT_TRUE(fs::exists(youngTemp));
    EXPECT_THAT(questions, IsEmpty());
    const auto items = nlohmann::json::parse(out.str());
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0]["path"], oldTemp.string());
    EXPECT_EQ(items[0]["outcome"], "deleted");
    const auto receipts = nlohmann::json::parse(std::ifstream(receiptsFile));
    ASSERT_EQ(receipts.size(), 1U);
    EXPECT_EQ(receipts[0]["hash"], items[0]["receiptHash"]);
}

struct Answer {
    const char* name;
    std::vector<std::string> arguments;
    std::optional<std::string> typed;
    int exitCode;
    bool deletes;
    const char* says;
};

class CleanAnswerTest : public CommandLineToolTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(CleanAnswerTest, DeletesOnlyAfterYesOrATerminalsJ) {
    const auto& answer = GetParam();
    terminal = [&answer] { return answer.typed; };
    EXPECT_EQ(run(answer.arguments), answer.exitCode) << out.str() << err.str();
    EXPECT_EQ(!fs::exists(oldTemp), answer.deletes);
    EXPECT_EQ(receiptCount(), answer.deletes ? 1U : 0U);
    EXPECT_TRUE(fs::exists(youngTemp));
    EXPECT_THAT(out.str() + err.str(), HasSubstr(answer.says));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CleanAnswerTest,
    ::testing::Values(
        Answer{"NoTerminal", {"clean"}, std::nullopt, exitUsage, false, "nur mit --yes"},
        Answer{"TerminalSaysNo", {"clean"}, "n", exitFailure, false, "Nichts gelöscht."},
        Answer{"TerminalSaysNothing", {"clean"}, "", exitFailure, false, "Nichts gelöscht."},
        Answer{"TerminalSaysJ",
               {"clean", "--mode", "secure"},
               " j\n",
               exitSuccess,
               true,
               "1 Objekt gelöscht"},
        Answer{"DryRun",
               {"clean", "--dry-run", "--yes"},
               "j",
               exitSuccess,
               false,
               "würde gelöscht: "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandLineToolTest, AnItemThatCannotBeDeletedMakesTheRunFail) {
    // Gone between the question and the deletion: the service reports it failed.
    terminal = [this]() -> std::optional<std::string> {
        fs::remove(oldTemp);
        return "ja";
    };
    EXPECT_EQ(run({"clean", "--module", "tempFiles"}), exitFailure);
    EXPECT_THAT(out.str(), HasSubstr("nicht gelöscht: " + oldTemp.string()));
    EXPECT_THAT(out.str(), HasSubstr("0 Objekte gelöscht"));
    EXPECT_EQ(receiptCount(), 0U);
}

TEST_F(CommandLineToolTest, CleanLeavesTheKeepListAndWhatHoldsItAlone) {
    const auto build = system / "tmp/old-build";
    testing::makeFile(build / "notes.txt", 4000);
    testing::setAgeByTheClock(build / "notes.txt", kThreeDays);
    testing::setAgeByTheClock(build, kThreeDays);
    ASSERT_TRUE(settings.addKeptPath((build / "notes.txt").string()));
    ASSERT_TRUE(settings.addKeptPath(oldTemp.string()));

    EXPECT_EQ(run({"clean", "--module", "tempFiles", "--yes"}), exitSuccess) << out.str();
    EXPECT_TRUE(fs::exists(build / "notes.txt"));
    EXPECT_TRUE(fs::exists(oldTemp));
    EXPECT_EQ(receiptCount(), 0U);
}

struct BadUsage {
    std::vector<std::string> arguments;
    const char* message;
};

class BadUsageTest : public CommandLineToolTest, public ::testing::WithParamInterface<BadUsage> {};

TEST_P(BadUsageTest, ExitsWithTwoAndAGermanReasonTouchingNothing) {
    EXPECT_EQ(run(GetParam().arguments), exitUsage);
    EXPECT_THAT(err.str(), HasSubstr(GetParam().message));
    EXPECT_THAT(err.str(), HasSubstr("quillo-scan --help"));
    EXPECT_THAT(out.str(), IsEmpty());
    EXPECT_TRUE(fs::exists(oldTemp));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadUsageTest,
    ::testing::Values(BadUsage{{"frobnicate"}, "Unbekannter Befehl „frobnicate“"},
                      BadUsage{{"scan", "--yes"}, "Unbekannte Option „--yes“ für „scan“"},
                      BadUsage{{"clean", "--deep=1"}, "Unbekannte Option „--deep“"},
                      BadUsage{{"clean", "--module", "nope"},
                               "Unbekanntes Modul „nope“; möglich sind: systemCaches"},
                      BadUsage{{"clean", "--module"}, "„--module“ braucht einen Wert."},
                      BadUsage{{"clean", "--mode=fast", "--yes"}, "Unbekannte Löschmethode „fast“"},
                      BadUsage{{"clean", "--mode", "secure", "--mode", "standard"}, "mehrmals"},
                      BadUsage{{"scan", "tempFiles"}, "Unerwartetes Argument „tempFiles“"}));

TEST_F(CommandLineToolTest, HelpIsGermanAndNamesEveryModule) {
    EXPECT_EQ(run({"clean", "--help"}), exitSuccess);
    EXPECT_THAT(out.str(), HasSubstr("Wirklich löschen? [j/N]"));
    EXPECT_THAT(out.str(), HasSubstr("applicationResidual, localSnapshots, fontCache"));
    EXPECT_TRUE(fs::exists(oldTemp));
}

}  // namespace
}  // namespace quillo::cli
