#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <utility>

#include "platform/FileDescriptor.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): POSIX declares it nowhere

namespace quillo::platform {

namespace {

struct Pipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;
};

// A pipe end that landed on 0, 1 or 2 (the application closed one of its own) would be
// overwritten or lose its redirection in the child, so it is moved above them.
int moveAboveStandardDescriptors(int fd) {
    if (fd > STDERR_FILENO) {
        return fd;
    }
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int savedError = errno;
    ::close(fd);
    errno = savedError;
    return moved;
}

// Both ends of a fresh pipe or socket pair in `fds` (or nothing when `made` failed), owned and
// moved above the standard descriptors.
std::optional<Pipe> ownedEnds(bool made, const std::array<int, 2>& fds) {
    if (!made) {
        return std::nullopt;
    }
    Pipe pipe{FileDescriptor(moveAboveStandardDescriptors(fds[0])),
              FileDescriptor(moveAboveStandardDescriptors(fds[1]))};
    if (pipe.readEnd.get() < 0 || pipe.writeEnd.get() < 0) {
        return std::nullopt;
    }
    return pipe;
}

std::optional<Pipe> makePipe() {
    std::array<int, 2> fds{};
    return ownedEnds(::pipe2(fds.data(), O_CLOEXEC) == 0, fds);
}

// The child's end is its standard input; ours sends with MSG_NOSIGNAL.
std::optional<Pipe> makeSocketChannel() {
    std::array<int, 2> fds{};
    return ownedEnds(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds.data()) == 0, fds);
}

class SpawnFileActions final {
  public:
    SpawnFileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnFileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    // Returns 0 or the errno value of the first action that could not be recorded. Without a
    // `standardInput` the child reads /dev/null.
    int redirect(std::optional<int> standardInput, int standardOutput, int standardError) {
        int result = standardInput ? ::posix_spawn_file_actions_adddup2(&actions_, *standardInput,
                                                                        STDIN_FILENO)
                                   : ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO,
                                                                        "/dev/null", O_RDONLY, 0);
        if (result == 0) {
            result = ::posix_spawn_file_actions_adddup2(&actions_, standardOutput, STDOUT_FILENO);
        }
        if (result == 0) {
            result = ::posix_spawn_file_actions_adddup2(&actions_, standardError, STDERR_FILENO);
        }
        // Descriptors other code opened without O_CLOEXEC must not reach the tool either.
        if (result == 0) {
            result = ::posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
        }
        return result;
    }
    [[nodiscard]] const posix_spawn_file_actions_t* get() const { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_{};
};

// The spawning thread may block signals (thread pools do) and the application may ignore some
// (SIGPIPE often); a tool must start with neither.
class CleanSignalAttributes final {
  public:
    CleanSignalAttributes() {
        ::posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        ::posix_spawnattr_setsigdefault(&attributes_, &all);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~CleanSignalAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    CleanSignalAttributes(const CleanSignalAttributes&) = delete;
    CleanSignalAttributes& operator=(const CleanSignalAttributes&) = delete;

    [[nodiscard]] const posix_spawnattr_t* get() const { return &attributes_; }

  private:
    posix_spawnattr_t attributes_{};
};

bool containsNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

bool isStartable(const std::string& executablePath, const std::vector<std::string>& arguments) {
    return executablePath.starts_with('/') && !containsNul(executablePath) &&
           std::none_of(arguments.begin(), arguments.end(), containsNul);
}

// Writes `input` and reads both outputs as the child is ready, so a child that fills one pipe
// while we would be waiting on another is never left blocked. The input goes through a socket,
// whose sends can ask not to raise SIGPIPE when the child stops reading.
void exchange(FileDescriptor& inputEnd, std::string_view input, FileDescriptor& outputEnd,
              FileDescriptor& errorEnd, const OutputHandler& onOutput, std::string& errorText) {
    std::array<pollfd, 3> watched{{{outputEnd.get(), POLLIN, 0},
                                   {errorEnd.get(), POLLIN, 0},
                                   {inputEnd.valid() ? inputEnd.get() : -1, POLLOUT, 0}}};
    std::array<char, std::size_t{64} * 1024> buffer{};
    std::size_t openCount = 2;
    const auto closeInput = [&] {
        watched[2].fd = -1;
        inputEnd.reset();
    };
    if (input.empty()) {
        closeInput();
    }
    while (openCount > 0) {
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == ENOMEM) {
                continue;
            }
            break;
        }
        if (watched[2].fd >= 0 && watched[2].revents != 0) {
            const ssize_t sent = ::send(watched[2].fd, input.data(), input.size(), MSG_NOSIGNAL);
            if (sent > 0) {
                input.remove_prefix(static_cast<std::size_t>(sent));
            }
            if (input.empty() || (sent < 0 && errno != EINTR && errno != EAGAIN)) {
                closeInput();
            }
        }
        for (std::size_t index = 0; index < 2; ++index) {
            if (watched[index].fd < 0 || watched[index].revents == 0) {
                continue;
            }
            const ssize_t count = ::read(watched[index].fd, buffer.data(), buffer.size());
            if (count > 0) {
                const std::string_view bytes(buffer.data(), static_cast<std::size_t>(count));
                if (index == 0) {
                    onOutput(bytes);
                } else {
                    errorText.append(bytes);
                }
            } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
                watched[index].fd = -1;  // poll skips negative descriptors
                --openCount;
            }
        }
    }
    // Closing before waiting means a child still writing (after a failed poll) gets EPIPE
    // instead of blocking forever.
    inputEnd.reset();
    outputEnd.reset();
    errorEnd.reset();
}

int waitForStatus(pid_t pid) {
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0) {
        if (errno != EINTR) {
            return -1;  // reaped elsewhere (SIGCHLD ignored): the status is unknown
        }
    }
    if (WIFEXITED(raw)) {
        return WEXITSTATUS(raw);
    }
    if (WIFSIGNALED(raw)) {
        return 128 + WTERMSIG(raw);
    }
    return -1;
}

}  // namespace

std::variant<ChildOutcome, LaunchFailure> runChildToCompletion(
    const std::string& executablePath, const std::vector<std::string>& arguments) {
    std::string output;
    auto outcome = runChildStreaming(executablePath, arguments, std::nullopt,
                                     [&output](std::string_view bytes) { output.append(bytes); });
    if (auto* finished = std::get_if<ChildOutcome>(&outcome)) {
        finished->standardOutput = std::move(output);
    }
    return outcome;
}

std::variant<ChildOutcome, LaunchFailure> runChildStreaming(
    const std::string& executablePath, const std::vector<std::string>& arguments,
    std::optional<std::string_view> input, const OutputHandler& onOutput) {
    if (!isStartable(executablePath, arguments)) {
        return LaunchFailure{EINVAL};
    }
    std::optional<Pipe> output = makePipe();
    if (!output) {
        return LaunchFailure{errno};
    }
    std::optional<Pipe> error = makePipe();
    if (!error) {
        return LaunchFailure{errno};
    }
    std::optional<Pipe> inputChannel;
    if (input) {
        inputChannel = makeSocketChannel();
        if (!inputChannel) {
            return LaunchFailure{errno};
        }
    }
    SpawnFileActions actions;
    if (const int result = actions.redirect(
            inputChannel ? std::optional<int>(inputChannel->readEnd.get()) : std::nullopt,
            output->writeEnd.get(), error->writeEnd.get());
        result != 0) {
        return LaunchFailure{result};
    }
    const CleanSignalAttributes attributes;

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(executablePath.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    // glibc reports a failed exec through the return value and reaps that child itself.
    pid_t pid = 0;
    if (const int result = ::posix_spawn(&pid, executablePath.c_str(), actions.get(),
                                         attributes.get(), argv.data(), environ);
        result != 0) {
        return LaunchFailure{result};
    }
    // Only the child may hold its ends, or the pipes never reach their end.
    output->writeEnd.reset();
    error->writeEnd.reset();
    FileDescriptor inputEnd;
    if (inputChannel) {
        inputChannel->readEnd.reset();
        inputEnd = std::move(inputChannel->writeEnd);
    }

    ChildOutcome outcome;
    exchange(inputEnd, input.value_or(std::string_view()), output->readEnd, error->readEnd,
             onOutput, outcome.standardError);
    outcome.status = waitForStatus(pid);
    return outcome;
}

}  // namespace quillo::platform
