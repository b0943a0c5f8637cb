#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/DirectoryWalker.h"
#include "support/TemporaryDirectory.h"
#include "support/TreeBuilders.h"

namespace quillo::platform {
namespace {

using ::quillo::testing::makeFile;
using ::testing::Each;
using ::testing::Field;
namespace fs = std::filesystem;

struct Visited {
    std::string path;  // relative to the root
    std::string parentPath;
    bool isDirectory;
    std::int64_t sizeInBytes;
};

Visited record(const WalkedEntry& entry) {
    std::string path(entry.parentPath);
    if (!path.empty()) {
        path += '/';
    }
    path += entry.name;
    return {path, std::string(entry.parentPath), entry.isDirectory, entry.sizeInBytes};
}

std::size_t openDescriptorCount() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

// `root` followed by `levels` components "d".
fs::path chain(fs::path root, std::size_t levels) {
    for (std::size_t index = 0; index < levels; ++index) {
        root /= "d";
    }
    return root;
}

// A chain of `depth` folders "d" where every level also holds `side`/f.
void makeLadder(const fs::path& root, std::size_t depth, const std::string& side = "x") {
    for (std::size_t level = 1; level <= depth; ++level) {
        makeFile(chain(root, level) / side / "f", 100);
    }
}

// A name that this file system lists after "d" in a folder holding both, so that the walk
// enters it only after coming back up the chain; empty if no candidate does.
std::string nameListedAfterChain(const fs::path& scratch) {
    fs::create_directories(scratch / "d");
    std::vector<std::string> candidates;
    for (int index = 0; index < 32; ++index) {
        candidates.push_back("side" + std::to_string(index));
        fs::create_directory(scratch / candidates.back());
    }
    std::vector<std::string> listed;
    listDirectory(scratch, [&](std::string_view name) { listed.emplace_back(name); });
    const auto chainPosition = std::find(listed.begin(), listed.end(), "d");
    return chainPosition == listed.end() || chainPosition + 1 == listed.end()
               ? ""
               : *(chainPosition + 1);
}

class DirectoryWalkerTest : public ::testing::Test {
  protected:
    std::vector<Visited> walk(const WalkOptions& options, const WalkVisitor& extra = {},
                              const support::CancellationToken& token = {}) {
        std::vector<Visited> visited;
        walkDirectory(root, options, token, [&](const WalkedEntry& entry) {
            visited.push_back(record(entry));
            if (extra) {
                extra(entry);
            }
        });
        return visited;
    }

    testing::TemporaryDirectory temp;
    fs::path root = temp / "root";
};

TEST_F(DirectoryWalkerTest, VisitsEveryFolderBeforeItsContentsWithRelativeParents) {
    makeFile(root / "a" / "b" / "c.txt", 10);
    makeFile(root / "a" / "d.txt", 10);
    makeFile(root / "e.txt", 10);

    const auto visited = walk({});

    std::set<std::string> seenFolders{""};
    for (const auto& entry : visited) {
        EXPECT_TRUE(seenFolders.count(entry.parentPath)) << entry.path;
        if (entry.isDirectory) {
            seenFolders.insert(entry.path);
        }
    }
    EXPECT_EQ(visited.size(), 5U);
    // Sizes are read only when asked.
    EXPECT_THAT(visited, Each(Field(&Visited::sizeInBytes, 0)));
    const auto sized = walk({.readSizes = true});
    const auto file = std::find_if(sized.begin(), sized.end(),
                                   [](const Visited& entry) { return entry.path == "e.txt"; });
    ASSERT_NE(file, sized.end());
    EXPECT_EQ(file->sizeInBytes, testing::allocatedSize(root / "e.txt"));
}

TEST_F(DirectoryWalkerTest, ReportsFailureForARootThatIsNoFolder) {
    makeFile(temp / "file", 1);
    const WalkVisitor ignore = [](const WalkedEntry&) {};

    EXPECT_FALSE(walkDirectory(temp / "missing", {}, {}, ignore));
    EXPECT_FALSE(walkDirectory(temp / "file", {}, {}, ignore));
    EXPECT_TRUE(walkDirectory(temp.path(), {}, {}, ignore));
}

TEST_F(DirectoryWalkerTest, StopsRightAfterCancellation) {
    for (int index = 0; index < 10; ++index) {
        makeFile(root / ("sub" + std::to_string(index)) / "f", 1);
    }
    support::CancellationSource source;
    int seen = 0;

    const auto visited = walk(
        {},
        [&](const WalkedEntry&) {
            if (++seen == 3) {
                source.cancel();
            }
        },
        source.token());

    EXPECT_EQ(visited.size(), 3U);
}

TEST_F(DirectoryWalkerTest, SkipsEntriesThatVanishMidWalk) {
    for (int index = 0; index < 20; ++index) {
        makeFile(root / ("f" + std::to_string(index)), 10);
    }
    makeFile(root / "sub" / "inner", 10);
    std::string survivor;

    const auto visited = walk({.readSizes = true}, [&](const WalkedEntry& entry) {
        if (!survivor.empty()) {
            return;
        }
        survivor = entry.name;
        for (const auto& child : fs::directory_iterator(root)) {
            if (child.path().filename() != survivor) {
                fs::remove_all(child.path());
            }
        }
    });

    ASSERT_FALSE(visited.empty());
    for (std::size_t index = 1; index < visited.size(); ++index) {
        EXPECT_TRUE(visited[index].isDirectory) << visited[index].path;  // listed, never entered
        EXPECT_EQ(visited[index].parentPath, "");
    }
}

TEST_F(DirectoryWalkerTest, DoesNotEnterAFolderSwappedForALinkAfterListing) {
    makeFile(temp / "outside" / "secret.bin", 10);
    makeFile(root / "first" / "f", 10);
    makeFile(root / "second" / "f", 10);
    bool swapped = false;

    const auto visited = walk({}, [&](const WalkedEntry&) {
        if (!std::exchange(swapped, true)) {
            for (const auto* name : {"first", "second"}) {
                fs::remove_all(root / name);
                testing::makeSymlink(temp / "outside", root / name);
            }
        }
    });

    EXPECT_THAT(visited, Each(Field(&Visited::parentPath, "")));
}

TEST_F(DirectoryWalkerTest, KeepsOpenDescriptorsBoundedInDeepTrees) {
    constexpr std::size_t depth = 300;
    makeLadder(root, depth);
    const auto before = openDescriptorCount();
    std::size_t deepest = 0;
    std::size_t files = 0;

    walk({}, [&](const WalkedEntry& entry) {
        if (!entry.isDirectory) {
            ++files;
            deepest = std::max(deepest, openDescriptorCount());
        }
    });

    EXPECT_EQ(files, depth);
    EXPECT_LE(deepest, before + 64);
}

TEST_F(DirectoryWalkerTest, FindsItsWayBackWhenAnAncestorIsMovedMidWalk) {
    constexpr std::size_t depth = 200;
    const auto side = nameListedAfterChain(temp / "probe");
    if (side.empty()) {
        GTEST_SKIP() << "this file system lists every candidate before the chain";
    }
    makeLadder(root, depth, side);
    makeFile(chain(root, depth) / "leaf", 10);
    std::size_t files = 0;

    walk({}, [&](const WalkedEntry& entry) {
        if (entry.name != "leaf") {
            files += entry.isDirectory ? 0 : 1;
            return;
        }
        ++files;
        // Above the descriptors kept open, so the way back up must notice the move.
        fs::rename(chain(root, 151), root / "moved");
    });

    EXPECT_EQ(files, depth + 1);
}

TEST_F(DirectoryWalkerTest, NeverEntersAMountBindMountsIncluded) {
    if (!testing::mountsCanBeMade()) {
        GTEST_SKIP() << "private mount namespaces need privileges";
    }
    makeFile(root / "own" / "f", 100);
    fs::create_directories(root / "bound");
    fs::create_directories(root / "scratch");
    makeFile(temp / "source" / "g", 100);
    const auto visitedFiles = testing::runInPrivateMountNamespace([&]() -> std::int64_t {
        if (::mount((temp / "source").c_str(), (root / "bound").c_str(), nullptr, MS_BIND,
                    nullptr) != 0 ||
            ::mount("tmpfs", (root / "scratch").c_str(), "tmpfs", 0, "size=1m") != 0) {
            return -1;
        }
        makeFile(root / "scratch" / "h", 100);
        const auto visited = walk({});
        return std::count_if(visited.begin(), visited.end(),
                             [](const Visited& entry) { return !entry.isDirectory; });
    });
    ASSERT_TRUE(visitedFiles.has_value());
    EXPECT_EQ(*visitedFiles, 1) << "only own/f lies on the root's mount";
}

TEST(ListDirectoryTest, ListsNonHiddenNamesWithoutDescending) {
    testing::TemporaryDirectory temp;
    makeFile(temp / "a", 1);
    makeFile(temp / ".b", 1);
    makeFile(temp / "c" / "d", 1);
    std::vector<std::string> names;

    EXPECT_TRUE(
        listDirectory(temp.path(), [&](std::string_view name) { names.emplace_back(name); }));
    std::sort(names.begin(), names.end());

    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
    EXPECT_FALSE(listDirectory(temp / "missing", [](std::string_view) {}));
}

}  // namespace
}  // namespace quillo::platform
