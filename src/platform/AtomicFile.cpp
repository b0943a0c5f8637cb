#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/FileDescriptor.h"
#include "platform/FreeName.h"

namespace quillo::platform {

namespace {

support::Error writeError(std::string action, int code) {
    return support::Error::make(FileWriteError(std::move(action), code));
}

bool writeAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Removes the temporary file after `action` failed with errno.
support::Error discard(const std::string& temporary, const char* action) {
    const int code = errno;
    ::unlink(temporary.c_str());
    return writeError(action, code);
}

// The whole of `contents` in a new file beside `file`, flushed to storage; its name, or the
// error after it was removed again.
support::Result<std::string> writeTemporaryBeside(const std::filesystem::path& file,
                                                  std::string_view contents) {
    std::string name = file.native() + ".tmp-XXXXXX";
    FileDescriptor temporary(::mkostemp(name.data(), O_CLOEXEC));
    if (!temporary.valid()) {
        return writeError("Temporäre Datei konnte nicht angelegt werden", errno);
    }
    if (::fchmod(temporary.get(), 0644) != 0 || !writeAll(temporary.get(), contents)) {
        return discard(name, "Datei konnte nicht geschrieben werden");
    }
    if (::fsync(temporary.get()) != 0) {
        return discard(name, "Datei konnte nicht gesichert werden");
    }
    return name;
}

// A rename survives a crash only once its folder is flushed; a failure here leaves a complete
// file either way.
void flushFolderOf(const std::filesystem::path& file) {
    const FileDescriptor folder(
        ::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
}

}  // namespace

FileWriteError::FileWriteError(std::string action, int code)
    : action_(std::move(action)), code_(code) {}

std::string FileWriteError::description() const {
    return action_ + ": " + std::strerror(code_);
}

support::Status createFolders(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return writeError("Ordner konnte nicht angelegt werden", error.value());
    }
    return support::Unit{};
}

support::Status writeFileAtomically(const std::filesystem::path& file, std::string_view contents) {
    auto temporary = writeTemporaryBeside(file, contents);
    if (!temporary) {
        return temporary.error();
    }
    if (::rename(temporary.value().c_str(), file.c_str()) != 0) {
        return discard(temporary.value(), "Datei konnte nicht ersetzt werden");
    }
    flushFolderOf(file);
    return support::Unit{};
}

support::Result<std::filesystem::path> writeNewFile(const std::filesystem::path& stem,
                                                    std::string_view suffix,
                                                    std::string_view contents) {
    auto temporary = writeTemporaryBeside(stem, contents);
    if (!temporary) {
        return temporary.error();
    }
    const auto name = claimFreeName(
        stem.native(), suffix,
        [&temporary](const std::string& candidate) {
            return ::renameat2(AT_FDCWD, temporary.value().c_str(), AT_FDCWD, candidate.c_str(),
                               RENAME_NOREPLACE) == 0
                       ? 0
                       : errno;
        },
        "Datei konnte nicht angelegt werden");
    if (!name) {
        ::unlink(temporary.value().c_str());
        return name.error();
    }
    flushFolderOf(stem);
    return std::filesystem::path(name.value());
}

}  // namespace quillo::platform
