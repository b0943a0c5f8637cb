#include <gtest/gtest.h>

#include "platform/Hibernation.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

namespace quillo::platform {
namespace {

using testing::TemporaryDirectory;
using testing::writeTextFile;

class HibernationTest : public ::testing::Test {
  protected:
    void powerFiles(std::string_view disk, std::optional<std::string_view> resume) {
        writeTextFile(power / "disk", disk);
        if (resume) {
            writeTextFile(power / "resume", *resume);
        }
    }

    TemporaryDirectory folder;
    std::filesystem::path power = folder / "power";
};

TEST_F(HibernationTest, AKernelWithoutHibernationHasNoMode) {
    EXPECT_EQ(readHibernateMode(power), std::nullopt);
    writeTextFile(power / "resume", "8:2\n");
    EXPECT_EQ(readHibernateMode(power), std::nullopt);
}

struct PowerState {
    std::string_view disk;
    std::optional<std::string_view> resume;
    HibernateMode expected;
};

TEST_F(HibernationTest, IsOnExactlyWithAChosenMethodAndAResumeDevice) {
    const std::vector<PowerState> states{
        {"[platform] shutdown reboot suspend test_resume\n", "259:3\n", 1},
        {"platform [shutdown] reboot\n", "8:2", 1},
        // No device to resume from: an image could never be read back.
        {"[platform] shutdown reboot suspend test_resume\n", "0:0\n", 0},
        {"[platform] shutdown\n", "\n", 0},
        {"[platform] shutdown\n", std::nullopt, 0},
        // Hibernation locked down, or no method chosen.
        {"[disabled]\n", "8:2\n", 0},
        {"platform shutdown reboot\n", "8:2\n", 0},
        {"[] shutdown\n", "8:2\n", 0},
    };
    for (const auto& state : states) {
        std::filesystem::remove_all(power);
        powerFiles(state.disk, state.resume);
        EXPECT_EQ(readHibernateMode(power), state.expected)
            << state.disk << " / " << state.resume.value_or("(none)");
    }
}

TEST_F(HibernationTest, ALinkedSettingIsNotFollowed) {
    writeTextFile(folder / "elsewhere", "[platform]\n");
    std::filesystem::create_directories(power);
    std::filesystem::create_symlink(folder / "elsewhere", power / "disk");
    writeTextFile(power / "resume", "8:2\n");
    EXPECT_EQ(readHibernateMode(power), std::nullopt);
}

TEST(HibernationDefaultsTest, AnswersOnceWithTheKernelsState) {
    int answers = 0;
    HibernateMode answered = 42;
    hibernateMode([&](HibernateMode mode) {
        ++answers;
        answered = mode;
    });
    EXPECT_EQ(answers, 1);
    EXPECT_EQ(answered, readHibernateMode("/sys/power"));
    if (!std::filesystem::exists("/sys/power/disk")) {
        EXPECT_EQ(answered, std::nullopt);
    }
}

TEST(HibernationDefaultsTest, ThereIsNoSleepImageToOffer) {
    EXPECT_EQ(sleepImageLocation(), std::nullopt);
}

}  // namespace
}  // namespace quillo::platform
