#include "helper/HelperExchange.h"

#include <unistd.h>

#include <cerrno>
#include <memory>
#include <thread>
#include <utility>
#include <variant>

#include "platform/ChildProcess.h"
#include "support/LineSplitter.h"
#include "text/Text.h"

namespace quillo {

namespace {

// pkexec's own statuses: the authentication dialog was dismissed, or authorisation refused.
constexpr int kDialogDismissed = 126;
constexpr int kNotAuthorised = 127;

bool isExecutable(const std::filesystem::path& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

HelperUnavailableError HelperUnavailableError::launchFailed(int errorNumber) {
    if (errorNumber == ENOENT || errorNumber == EACCES) {
        return HelperUnavailableError(text::text("helper.failure.pkexecMissing"));
    }
    return HelperUnavailableError(text::format("helper.failure.launch.format",
                                               {text::FormatArgument(std::int64_t{errorNumber})}));
}

HelperUnavailableError HelperUnavailableError::exited(int status) {
    switch (status) {
        case kDialogDismissed:
            return HelperUnavailableError(text::text("helper.failure.dismissed"));
        case kNotAuthorised:
            return HelperUnavailableError(text::text("helper.failure.refused"));
        default:
            return HelperUnavailableError(text::format(
                "helper.failure.exited.format", {text::FormatArgument(std::int64_t{status})}));
    }
}

HelperUnavailableError HelperUnavailableError::notInstalled() {
    return HelperUnavailableError(text::text("helper.failure.notInstalled"));
}

void exchangeWithHelper(const HelperLaunch& launch, const HelperRequest& request,
                        support::ExecutorRef context, std::function<void(HelperMessage)> onMessage,
                        std::function<void(std::optional<support::Error>)> onEnd) {
    const auto endNow = [&](HelperUnavailableError error) {
        context->post([onEnd = std::move(onEnd), error = support::Error::make(std::move(error))] {
            onEnd(error);
        });
    };
    if (!isExecutable(launch.pkexecPath)) {
        endNow(HelperUnavailableError::launchFailed(ENOENT));
        return;
    }
    if (!isExecutable(launch.helperPath) || !std::filesystem::exists(launch.policyPath)) {
        endNow(HelperUnavailableError::notInstalled());
        return;
    }
    // The helper may take as long as the deletion takes; it never holds up a pool thread. The
    // thread owns everything it uses, so it can be detached.
    std::thread([pkexec = launch.pkexecPath, helper = launch.helperPath.string(),
                 line = encodeRequest(request), context = std::move(context),
                 onMessage = std::move(onMessage), onEnd = std::move(onEnd)] {
        support::LineSplitter splitter(kMaxMessageLineBytes);
        const auto deliver = [&](std::optional<std::string_view> answer) {
            auto message = answer ? decodeMessage(*answer)
                                  : support::Result<HelperMessage>(support::Error::make(
                                        HelperProtocolError("Die Antwortzeile ist zu lang.")));
            if (message) {
                context->post([onMessage, message = std::move(message).value()]() mutable {
                    onMessage(std::move(message));
                });
            }
        };
        const auto outcome = platform::runChildStreaming(
            pkexec, {helper}, line, [&](std::string_view bytes) { splitter.feed(bytes, deliver); });
        splitter.finish(deliver);
        std::optional<support::Error> error;
        if (const auto* failure = std::get_if<platform::LaunchFailure>(&outcome)) {
            error =
                support::Error::make(HelperUnavailableError::launchFailed(failure->errorNumber));
        } else if (const int status = std::get<platform::ChildOutcome>(outcome).status;
                   status != 0) {
            error = support::Error::make(HelperUnavailableError::exited(status));
        }
        context->post([onEnd, error = std::move(error)] { onEnd(error); });
    }).detach();
}

}  // namespace quillo
