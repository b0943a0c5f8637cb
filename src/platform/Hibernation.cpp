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

bool choosesHibernationMethod(std::string_view disk) {
    const auto method = chosenMethod(disk);
    return method && !method->empty() && *method != "disabled";
}

bool namesResumeDevice(std::string_view resume) {
    const auto device = support::trimmed(resume, " \t\n");
    return !device.empty() && device != kNoDevice;
}

HibernateMode readHibernateMode(const std::filesystem::path& powerFolder) {
    const auto methods = readSmallTextFile(powerFolder / "disk");
    if (!methods) {
        return std::nullopt;
    }
    if (!choosesHibernationMethod(*methods)) {
        return kHibernationOff;
    }
    const auto resume = readSmallTextFile(powerFolder / "resume");
    if (!resume || !namesResumeDevice(*resume)) {
        return kHibernationOff;
    }
    return kHibernationConfigured;
}

void hibernateMode(const std::function<void(HibernateMode)>& answer) {
    answer(readHibernateMode("/sys/power"));
}

}  // namespace quillo::platform
