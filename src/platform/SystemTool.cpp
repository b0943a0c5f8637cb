#include "platform/SystemTool.h"

#include <system_error>
#include <utility>

#include "platform/ProcessRunner.h"

namespace quillo::platform {

void runTool(std::string executablePath, std::vector<std::string> arguments,
             const support::Completion<std::string>& done) {
    // `run` has not called `done` when it throws, so the one call below is the only one.
    try {
        run(executablePath, std::move(arguments), done);
    } catch (const std::system_error& failure) {
        done(support::Error::make(
            ProcessLaunchError(std::move(executablePath), failure.code().value())));
    }
}

void runToolIgnoringOutput(std::string executablePath, std::vector<std::string> arguments,
                           support::Completion<support::Unit> done) {
    runTool(std::move(executablePath), std::move(arguments),
            [done = std::move(done)](const support::Result<std::string>& ran) {
                if (ran) {
                    done(support::Unit{});
                } else {
                    done(ran.error());
                }
            });
}

}  // namespace quillo::platform
