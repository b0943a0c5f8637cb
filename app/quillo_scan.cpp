// The command line: "scan" (the headless report, also without a command) and "clean", with the
// application's own modules, settings, deletion service and receipts.
#include <iostream>

#include "cli/CommandLineTool.h"
#include "modules/DefaultModuleSet.h"
#include "platform/TerminalQuestion.h"
#include "support/RunLoop.h"
#include "support/ThreadPool.h"
#include "system/FileDefaultsStore.h"

int main(int argc, char** argv) {
    using namespace quillo;
    auto main = std::make_shared<support::RunLoop>();
    auto pool = support::ThreadPool::create();
    AppSettings settings(std::make_unique<FileDefaultsStore>(FileDefaultsStore::defaultURL()));
    const cli::CommandLineEnvironment environment{
        .makeEngine =
            [&pool](SecureDeletionService::ModeProvider mode, const DepthProvider& depth) {
                return makeDefault(std::move(mode), depth, platformModuleServices(pool));
            },
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
