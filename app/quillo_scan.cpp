// The command line: "scan" (the headless report, also without a command) and "clean", with the
// application's own modules, settings, deletion service and receipts.
#include <iostream>
#include <string_view>
#include <vector>

#include "AppListReport.h"
#include "cli/CommandLineTool.h"
#include "modules/DefaultModuleSet.h"
#include "platform/TerminalQuestion.h"
#include "support/RunLoop.h"
#include "support/ThreadPool.h"
#include "system/AppSettings.h"
#include "system/FileDefaultsStore.h"

int main(int argc, char** argv) {
    using namespace quillo;
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (const auto status = runAppListReport(arguments)) {
        return *status;
    }
    auto main = std::make_shared<support::RunLoop>();
    auto pool = support::ThreadPool::create();
    AppSettings settings(std::make_unique<FileDefaultsStore>(FileDefaultsStore::defaultURL()));
    const cli::CommandLineEnvironment environment{
        .makeServices = [&pool] { return platformModuleServices(pool); },
        .settings = settings,
        .main = main,
        .runUntil = [&main](const std::function<bool()>& finished) { main->runUntil(finished); },
        .askTerminal = platform::askTerminal,
        .leftOutRoots = platformLeftOutRoots,
        .now = std::chrono::steady_clock::now,
        .out = std::cout,
        .err = std::cerr,
    };
    return cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc), environment);
}
