#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Removability.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo {
namespace {

namespace fs = std::filesystem;

enum class Owner { root, user };

struct Entry {
    std::string path;
    mode_t mode;
    Owner owner;
    bool isFolder;
};

// The kernel's rules as an ordinary user meets them.
class RemovabilityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "the tree needs entries of two owners, which only root can make";
        }
        testing::makeReadableByAll(folder.path());
        for (const auto& entry : tree) {
            const auto path = folder / entry.path;
            if (entry.isFolder) {
                fs::create_directory(path);
            } else {
                testing::makeFile(path, 10);
            }
            ASSERT_EQ(::chmod(path.c_str(), entry.mode), 0);
            if (entry.owner == Owner::user) {
                testing::giveToUnprivilegedUser(path);
            }
        }
    }

    testing::TemporaryDirectory folder;
    const std::vector<Entry> tree{
        {"open", 0777, Owner::root, true},
        {"open/theirs", 0644, Owner::root, false},
        {"open/theirFolder", 0755, Owner::root, true},
        {"sticky", 01777, Owner::root, true},
        {"sticky/theirs", 0666, Owner::root, false},
        {"sticky/mine", 0600, Owner::user, false},
        {"sticky/theirFolder", 0777, Owner::root, true},
        {"shut", 0755, Owner::root, true},
        {"shut/mine", 0666, Owner::user, false},
        {"stickyMine", 01755, Owner::user, true},
        {"stickyMine/theirs", 0644, Owner::root, false},
    };
};

TEST_F(RemovabilityTest, AnOrdinaryUserNeedsMoreRightsWhereTheKernelRefusesTheUnlink) {
    const struct {
        const char* path;
        bool needsMore;
    } cases[] = {
        {"open/theirs", false},        // a writable folder without the sticky bit
        {"open/theirFolder", true},    // its contents could not go first
        {"sticky/theirs", true},       // /tmp's rule: only the owner
        {"sticky/mine", false},        //
        {"sticky/theirFolder", true},  // writable by all, still not ours
        {"shut/mine", true},           // owning the entry does not help
        {"stickyMine/theirs", false},  // the folder's owner may
        {"open/missing", false},       // nothing to remove, nothing to ask for
    };
    std::int64_t expected = 0;
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        expected |= static_cast<std::int64_t>(cases[index].needsMore) << index;
    }
    const auto answers = testing::runUnprivileged([&] {
        std::int64_t bits = 0;
        for (std::size_t index = 0; index < std::size(cases); ++index) {
            bits |= static_cast<std::int64_t>(
                        platform::removalNeedsMoreRights(folder / cases[index].path))
                    << index;
        }
        return bits;
    });
    ASSERT_TRUE(answers.has_value());
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        EXPECT_EQ((*answers >> index) & 1, (expected >> index) & 1) << cases[index].path;
    }
    EXPECT_FALSE(platform::removalNeedsMoreRights(folder / "sticky/theirFolder")) << "root may";
}

TEST_F(RemovabilityTest, AFolderIsOutOfReachWhenItExistsAndCannotBeChanged) {
    const auto reach = testing::runUnprivileged([&] {
        return static_cast<std::int64_t>(platform::isOutOfReach(folder / "shut")) |
               static_cast<std::int64_t>(platform::isOutOfReach(folder / "sticky")) << 1 |
               static_cast<std::int64_t>(platform::isOutOfReach(folder / "missing")) << 2;
    });
    EXPECT_EQ(reach, 0b001);
    EXPECT_FALSE(platform::isOutOfReach(folder / "shut")) << "root reaches it";
}

}  // namespace
}  // namespace quillo
