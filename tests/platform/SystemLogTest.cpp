#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/SystemLog.h"

namespace quillo::platform {
namespace {

using ::testing::ElementsAre;

struct Written {
    LogLevel level;
    std::string category;
    std::string line;

    friend bool operator==(const Written&, const Written&) = default;
};

class SystemLogTest : public ::testing::Test {
  protected:
    SystemLog makeLog(bool revealsPrivate, std::function<bool(LogLevel)> isEnabled = nullptr) {
        SystemLogOptions options;
        options.sink = [this](LogLevel level, std::string_view category, std::string_view line) {
            written.push_back({level, std::string(category), std::string(line)});
        };
        options.isEnabled = std::move(isEnabled);
        options.revealsPrivateArguments = revealsPrivate;
        return SystemLog("deletion", std::move(options));
    }

    std::vector<Written> written;
};

TEST_F(SystemLogTest, PrivateArgumentsAreRedactedUnlessTheSwitchIsOn) {
    makeLog(false).info("delete ok id=%{public}s path=%{private}s", {"ID-1", "/home/me/x"});
    makeLog(true).info("delete ok id=%{public}s path=%{private}s", {"ID-2", "/home/me/x"});
    makeLog(false).error("delete failed id=%{public}s reason=%{public}s", {"ID-3", "Nope"});

    EXPECT_THAT(
        written,
        ElementsAre(Written{LogLevel::info, "deletion", "delete ok id=ID-1 path=<private>"},
                    Written{LogLevel::info, "deletion", "delete ok id=ID-2 path=/home/me/x"},
                    Written{LogLevel::error, "deletion", "delete failed id=ID-3 reason=Nope"}));
}

TEST_F(SystemLogTest, ControlCharactersCannotStartALineOfTheirOwn) {
    const SystemLog log = makeLog(true);
    EXPECT_EQ(log.formatLine("path=%{private}s", {"/a\nFAKE line\x7f"}),
              "path=/a\\x0aFAKE line\\x7f");
    EXPECT_EQ(log.formatLine("100%% %{public}s %{public}s", {"only"}), "100% only ");
}

TEST_F(SystemLogTest, ALevelThatIsNotEnabledIsNeitherFormattedNorWritten) {
    const SystemLog log = makeLog(false, [](LogLevel level) { return level == LogLevel::error; });
    log.info("delete ok id=%{public}s path=%{private}s", {"A", "/x"});
    log.error("delete failed id=%{public}s reason=%{public}s", {"B", "r"});
    EXPECT_THAT(written,
                ElementsAre(Written{LogLevel::error, "deletion", "delete failed id=B reason=r"}));
}

TEST_F(SystemLogTest, TheSystemLogTakesBothLevelsByDefault) {
    EXPECT_TRUE(isEnabledInSystemLog(LogLevel::info));
    EXPECT_TRUE(isEnabledInSystemLog(LogLevel::error));
}

}  // namespace
}  // namespace quillo::platform
