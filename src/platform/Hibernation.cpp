#include "platform/Hibernation.h"

#include <string_view>

#include "platform/SmallTextFile.h"
#include "support/TextPieces.h"

namespace quillo::platform {

namespace {

constexpr std::int32_t kHibernationOff = 0;
constexpr std::int32_t kHibernationConfigured = 1;
constexpr std::string_view kNoDevice = "0:0";

/// The method in brackets in a list such as "[platform] shutdown reboot suspend".
std::optional<std::string_view> chosenMethod(std::string_view methods) {
    const auto open = methods.find('[');
    const auto close = methods.find(']', open);
    if (open == std::string_view::npos || close == std::string_view::npos) {
        return std::nullopt;
    }
    return methods.substr(open + 1, close - open - 1);
}

}  // namespace

std::optional<std::filesystem::path> sleepImageLocation() {
    return std::nullopt;
}

HibernateMode readHibernateMode(const std::filesystem::path& powerFolder) {
    const auto methods = readSmallTextFile(powerFolder / "disk");
    if (!methods) {
        return std::nullopt;
    }
    const auto method = chosenMethod(*methods);
    if (!method || method->empty() || *method == "disabled") {
        return kHibernationOff;
    }
    const auto resume = readSmallTextFile(powerFolder / "resume");
    const auto device = resume ? support::trimmed(*resume, " \t\n") : std::string_view();
    if (device.empty() || device == kNoDevice) {
        return kHibernationOff;
    }
    return kHibernationConfigured;
}

void hibernateMode(const std::function<void(HibernateMode)>& answer) {
    answer(readHibernateMode("/sys/power"));
}

}  // namespace quillo::platform
