#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "deletion/SecureDeletionServiceHarness.h"
#include "platform/ItemSafetyError.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

// Hostile trees against the deletion service in every mode, through both of its ways in: mounts
// inside items, parents swapped for links while a run goes on, sparse files on a full file
// system, items outside their module's folders.
namespace quillo {
namespace {

using platform::ItemSafetyError;
using testing::itemAt;
using testing::makeFile;
using testing::SecureDeletionServiceHarness;
namespace fs = std::filesystem;

enum class Way { eventStream, deleteItems };

struct GuardCase {
    DeletionMode mode;
    Way way;
};

std::string contents(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

class DeletionGuardTest : public ::testing::TestWithParam<GuardCase> {
  protected:
    // The report of one run of `items` in the case's mode and way.
    DeletionReport run(std::vector<CleanableItem> items) {
        SecureDeletionServiceHarness harness(GetParam().mode);
        harness.environment.moduleAreas = areas;
        if (GetParam().way == Way::eventStream) {
            const auto outcome = harness.run(std::move(items));
            return outcome.report().value_or(DeletionReport{});
        }
        std::optional<DeletionReport> report;
        harness.service().deleteItems(std::move(items), CleaningModuleID::tempFiles,
                                      [&](support::Result<DeletionReport> result) {
                                          if (result) {
                                              report = result.value();
                                          }
                                      });
        harness.drain();
        return report.value_or(DeletionReport{});
    }

    // The one failure reason of `report`, or why there is none.
    static std::string onlyFailure(const DeletionReport& report) {
        if (report.failed.size() != 1) {
            return "failures: " + std::to_string(report.failed.size());
        }
        return report.failed.front().reason;
    }

    static std::string reasonFor(ItemSafetyError::Kind kind) {
        return ItemSafetyError::make(kind).description();
    }

    testing::TemporaryDirectory temp;
    fs::path root = temp / "tmp";
    std::map<CleaningModuleID, std::vector<platform::DeletionArea>> areas{
        {CleaningModuleID::tempFiles, {{.path = root}}}};
};

// Mounts are made in a child with a private mount namespace; the child answers 0 when every
// expectation held, else the number of the first that did not.
#define SKIP_WITHOUT_MOUNTS()                                       \
    if (!testing::mountsCanBeMade()) {                              \
        GTEST_SKIP() << "private mount namespaces need privileges"; \
    }

TEST_P(DeletionGuardTest, ABindMountInsideAnItemIsNeverEnteredNorWritten) {
    SKIP_WITHOUT_MOUNTS();
    const fs::path item = root / "item";
    makeFile(item / "own", 4096);
    fs::create_directories(item / "mounted-folder");
    makeFile(item / "mounted-file", 4096);
    makeFile(temp / "source" / "precious", 4096);
    makeFile(temp / "source-file", 4096);
    const std::string original = contents(temp / "source-file");

    const auto code = testing::runInPrivateMountNamespace([&]() -> std::int64_t {
        if (::mount((temp / "source").c_str(), (item / "mounted-folder").c_str(), nullptr, MS_BIND,
                    nullptr) != 0 ||
            ::mount((temp / "source-file").c_str(), (item / "mounted-file").c_str(), nullptr,
                    MS_BIND, nullptr) != 0) {
            return 100;
        }
        const DeletionReport report = run({itemAt(item, 8192)});
        if (onlyFailure(report) != reasonFor(ItemSafetyError::Kind::containsMountPoint)) {
            return 1;
        }
        if (fs::exists(item / "own")) {
            return 2;
        }
        return 0;
    });

    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(fs::file_size(temp / "source" / "precious"), 4096U);
    EXPECT_EQ(contents(temp / "source-file"), original);
}

TEST_P(DeletionGuardTest, AnItemThatIsAMountPointIsLeftWhole) {
    SKIP_WITHOUT_MOUNTS();
    makeFile(temp / "source" / "precious", 4096);
    fs::create_directories(root / "mount");
    const std::string original = contents(temp / "source" / "precious");

    const auto code = testing::runInPrivateMountNamespace([&]() -> std::int64_t {
        if (::mount((temp / "source").c_str(), (root / "mount").c_str(), nullptr, MS_BIND,
                    nullptr) != 0) {
            return 100;
        }
        const DeletionReport report = run({itemAt(root / "mount", 4096)});
        return onlyFailure(report) == reasonFor(ItemSafetyError::Kind::mountPoint) ? 0 : 1;
    });

    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(contents(temp / "source" / "precious"), original);
}

TEST_P(DeletionGuardTest, ATmpfsInsideAnItemKeepsWhatItHolds) {
    SKIP_WITHOUT_MOUNTS();
    fs::create_directories(root / "item" / "scratch");

    const auto code = testing::runInPrivateMountNamespace([&]() -> std::int64_t {
        if (::mount("tmpfs", (root / "item" / "scratch").c_str(), "tmpfs", 0, "size=1m") != 0) {
            return 100;
        }
        makeFile(root / "item" / "scratch" / "inside", 100);
        const DeletionReport report = run({itemAt(root / "item", 100)});
        if (onlyFailure(report) != reasonFor(ItemSafetyError::Kind::containsMountPoint)) {
            return 1;
        }
        return fs::file_size(root / "item" / "scratch" / "inside") == 100 ? 0 : 2;
    });

    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

TEST_P(DeletionGuardTest, ASparseFileOnAFullFileSystemIsDeletedWithoutGrowing) {
    SKIP_WITHOUT_MOUNTS();
    fs::create_directories(root);

    const auto code = testing::runInPrivateMountNamespace([&]() -> std::int64_t {
        if (::mount("tmpfs", root.c_str(), "tmpfs", 0, "size=16m") != 0) {
            return 100;
        }
        const fs::path file = root / "lastlog";
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        const std::string data(4096, 'd');
        if (fd < 0 || ::pwrite(fd, data.data(), data.size(), 0) != 4096 ||
            ::ftruncate(fd, off_t{256} << 20) != 0) {
            return 101;
        }
        ::close(fd);
        const DeletionReport report = run({itemAt(file, 4096)});
        if (report.succeeded.size() != 1 || !report.failed.empty()) {
            return 1;
        }
        struct statvfs usage {};
        return ::statvfs(root.c_str(), &usage) == 0 && usage.f_bfree == usage.f_blocks ? 0 : 2;
    });

    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

TEST_P(DeletionGuardTest, AParentSwappedForALinkNeverRedirectsTheRun) {
    constexpr int kItems = 200;
    const fs::path parent = root / "p";
    const fs::path other = temp / "other";
    std::vector<CleanableItem> items;
    for (int index = 0; index < kItems; ++index) {
        const std::string name = "item" + std::to_string(index);
        makeFile(parent / name / "data", 512);
        makeFile(other / name / "data", 512);
        items.push_back(itemAt(parent / name, 512));
    }
    const std::string original = contents(other / "item0" / "data");
    fs::create_symlink(other, root / "q");

    std::atomic<bool> running{true};
    std::thread swapper([&] {
        // Bounded: the run is short, the swapping stops with it or after a second at most.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (running && std::chrono::steady_clock::now() < end) {
            ::renameat2(AT_FDCWD, parent.c_str(), AT_FDCWD, (root / "q").c_str(), RENAME_EXCHANGE);
        }
    });
    const DeletionReport report = run(items);
    running = false;
    swapper.join();

    EXPECT_EQ(report.succeeded.size() + report.failed.size(), static_cast<std::size_t>(kItems));
    for (int index = 0; index < kItems; ++index) {
        const fs::path data = other / ("item" + std::to_string(index)) / "data";
        ASSERT_TRUE(fs::exists(data)) << data;
        EXPECT_EQ(contents(data), original) << data;
    }
}

TEST_P(DeletionGuardTest, ItemsOutsideTheirModulesFoldersAreRefusedAsRecords) {
    makeFile(temp / "elsewhere" / "file", 10);
    makeFile(root / "inside", 10);
    areas[CleaningModuleID::systemCaches] = {{.path = temp / "elsewhere"}};

    const DeletionReport report =
        run({itemAt(temp / "elsewhere" / "file", 10), itemAt(root / "inside", 10)});

    EXPECT_EQ(onlyFailure(report),
              "Löschen verweigert: Der Pfad liegt außerhalb der Ordner dieses Moduls.");
    EXPECT_EQ(report.succeeded.size(), 1U);
    EXPECT_TRUE(fs::exists(temp / "elsewhere" / "file"));
}

INSTANTIATE_TEST_SUITE_P(
    EveryModeAndWay, DeletionGuardTest,
    ::testing::Values(GuardCase{DeletionMode::standard, Way::eventStream},
                      GuardCase{DeletionMode::secureOverwrite, Way::eventStream},
                      GuardCase{DeletionMode::secureOverwriteThreePass, Way::eventStream},
                      GuardCase{DeletionMode::standard, Way::deleteItems},
                      GuardCase{DeletionMode::secureOverwrite, Way::deleteItems},
                      GuardCase{DeletionMode::secureOverwriteThreePass, Way::deleteItems}),
    [](const ::testing::TestParamInfo<GuardCase>& info) {
        return std::string(rawValue(info.param.mode)) +
               (info.param.way == Way::eventStream ? "Events" : "DeleteItems");
    });

}  // namespace
}  // namespace quillo
