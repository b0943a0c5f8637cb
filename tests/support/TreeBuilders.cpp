#include "support/TreeBuilders.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace quillo::testing {

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

class Descriptor final {
  public:
    explicit Descriptor(int fd, const std::string& what) : fd_(fd) {
        if (fd_ < 0) {
            fail(what);
        }
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    [[nodiscard]] int get() const { return fd_; }

  private:
    int fd_;
};

void writeBytes(int fd, std::size_t bytes) {
    const std::string chunk(std::size_t{64} * 1024, 'q');
    while (bytes > 0) {
        const auto step = std::min(bytes, chunk.size());
        if (::write(fd, chunk.data(), step) != static_cast<ssize_t>(step)) {
            fail("write");
        }
        bytes -= step;
    }
}

void writeFileAt(int folderFd, const char* name, std::size_t bytes) {
    const Descriptor file(::openat(folderFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644),
                          std::string("create ") + name);
    writeBytes(file.get(), bytes);
}

}  // namespace

void makeFile(const std::filesystem::path& path, std::size_t bytes) {
    std::filesystem::create_directories(path.parent_path());
    writeFileAt(AT_FDCWD, path.c_str(), bytes);
}

void makeSparseFile(const std::filesystem::path& path, std::int64_t logicalSize) {
    std::filesystem::create_directories(path.parent_path());
    const Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644),
                          "create " + path.string());
    writeBytes(file.get(), 4096);
    if (::ftruncate(file.get(), logicalSize) != 0) {
        fail("ftruncate");
    }
}

void makeDeepTree(const std::filesystem::path& root, std::size_t depth, std::size_t leafBytes) {
    std::filesystem::create_directories(root);
    Descriptor current(::open(root.c_str(), kFolderFlags), "open " + root.string());
    for (std::size_t level = 0; level < depth; ++level) {
        if (::mkdirat(current.get(), "d", 0755) != 0) {
            fail("mkdirat");
        }
        current = Descriptor(::openat(current.get(), "d", kFolderFlags), "open level");
    }
    writeFileAt(current.get(), "leaf", leafBytes);
}

void removeDeepTree(const std::filesystem::path& root) {
    // Each round lifts the rest of the chain next to the top folder and removes the top, so no
    // path ever grows beyond two components.
    const Descriptor parent(::open(root.c_str(), kFolderFlags), "open " + root.string());
    for (;;) {
        const Descriptor top(::openat(parent.get(), "d", kFolderFlags), "open top");
        const bool hasRest = ::renameat(top.get(), "d", parent.get(), "rest") == 0;
        ::unlinkat(top.get(), "leaf", 0);
        if (::unlinkat(parent.get(), "d", AT_REMOVEDIR) != 0) {
            fail("remove level");
        }
        if (!hasRest) {
            return;
        }
        if (::renameat(parent.get(), "rest", parent.get(), "d") != 0) {
            fail("rename level");
        }
    }
}

void makeSymlink(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(target, link);
}

void makeSymlinkLoop(const std::filesystem::path& folder) {
    makeSymlink(".", folder / "self");
    makeSymlink("..", folder / "sub" / "up");
}

std::vector<std::string> makeWeirdNames(const std::filesystem::path& folder, std::size_t bytes) {
    std::vector<std::string> names{"with space", "new\nline", "tab\there", "not utf8 \xff\xfe",
                                   // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one name
                                   "e\xcc\x81"
                                   "cole",
                                   " leading space", "trailing space "};
    for (const auto& name : names) {
        makeFile(folder / name, bytes);
    }
    return names;
}

void makeHardLinks(const std::filesystem::path& original,
                   const std::vector<std::filesystem::path>& links) {
    for (const auto& link : links) {
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_hard_link(original, link);
    }
}

void makeInaccessible(const std::filesystem::path& path) {
    if (::chmod(path.c_str(), 0) != 0) {
        fail("chmod " + path.string());
    }
}

void makeReadableByAll(const std::filesystem::path& path) {
    if (::chmod(path.c_str(), 0755) != 0) {
        fail("chmod " + path.string());
    }
}

void giveToUnprivilegedUser(const std::filesystem::path& path) {
    if (::lchown(path.c_str(), kNobody, kNoGroup) != 0) {
        fail("lchown " + path.string());
    }
}

namespace {

// Runs `work` in a forked child after `prepare` succeeded there, and hands back its result.
std::optional<std::int64_t> runInChild(const std::function<bool()>& prepare,
                                       const std::function<std::int64_t()>& work) {
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!prepare()) {
            ::_exit(2);
        }
        const std::int64_t result = work();
        const bool written = ::write(channel[1], &result, sizeof result) == sizeof result;
        ::_exit(written ? 0 : 3);
    }
    ::close(channel[1]);
    std::int64_t result = 0;
    const bool received = child > 0 && ::read(channel[0], &result, sizeof result) == sizeof result;
    ::close(channel[0]);
    int status = 0;
    const bool exited = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                        WEXITSTATUS(status) == 0;
    if (!received || !exited) {
        return std::nullopt;
    }
    return result;
}

}  // namespace

std::optional<std::int64_t> runUnprivileged(const std::function<std::int64_t()>& work) {
    if (::geteuid() != 0) {
        return work();
    }
    return runInChild(
        [] {
            return ::setgroups(0, nullptr) == 0 && ::setresgid(kNoGroup, kNoGroup, kNoGroup) == 0 &&
                   ::setresuid(kNobody, kNobody, kNobody) == 0;
        },
        work);
}

std::optional<std::int64_t> runInPrivateMountNamespace(const std::function<std::int64_t()>& work) {
    return runInChild(
        [] {
            return ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        },
        work);
}

bool mountsCanBeMade() {
    return runInPrivateMountNamespace([] { return std::int64_t{1}; }).has_value();
}

std::int64_t allocatedSize(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        fail("lstat " + path.string());
    }
    return static_cast<std::int64_t>(status.st_blocks) * 512;
}

void setModificationTime(const std::filesystem::path& path, std::int64_t seconds,
                         long nanoseconds) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, nanoseconds}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        fail("utimensat " + path.string());
    }
}

void setAgeByTheClock(const std::filesystem::path& path, std::int64_t seconds) {
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    setModificationTime(path, now.count() - seconds, 0);
}

}  // namespace quillo::testing
