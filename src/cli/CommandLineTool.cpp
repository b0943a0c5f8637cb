#include "cli/CommandLineTool.h"

#include "cli/CleanRun.h"
#include "cli/CommandLine.h"
#include "cli/ScanRun.h"
#include "text/Text.h"

namespace quillo::cli {

namespace {

// One case per command; a new command adds its request type and a case here.
struct Dispatch {
    const CommandLineEnvironment& environment;

    int operator()(const ScanRequest& request) const { return runScan(request, environment); }
    int operator()(const CleanRequest& request) const { return runClean(request, environment); }
    int operator()(HelpRequest) const {
        environment.out << helpText();
        return exitSuccess;
    }
    int operator()(const UsageError& error) const {
        environment.err << error.message << '\n' << text::text("cli.usage.hint") << '\n';
        return exitUsage;
    }
};

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments,
                   const CommandLineEnvironment& environment) {
    return std::visit(Dispatch{environment}, parseCommandLine(arguments));
}

}  // namespace quillo::cli
