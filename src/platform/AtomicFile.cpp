#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "platform/FileDescriptor.h"

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
    std::string pattern = file.native() + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FileDescriptor temporary(::mkostemp(name.data(), O_CLOEXEC));
    if (!temporary.valid()) {
        return writeError("Temporäre Datei konnte nicht angelegt werden", errno);
    }
    const auto fail = [&name](const char* action) {
        const int code = errno;
        ::unlink(name.data());
        return writeError(action, code);
    };
    if (::fchmod(temporary.get(), 0644) != 0 || !writeAll(temporary.get(), contents)) {
        return fail("Datei konnte nicht geschrieben werden");
    }
    if (::fsync(temporary.get()) != 0) {
        return fail("Datei konnte nicht gesichert werden");
    }
    temporary.reset();
    if (::rename(name.data(), file.c_str()) != 0) {
        return fail("Datei konnte nicht ersetzt werden");
    }
    // The rename itself survives a crash only once the folder is flushed; a failure here
    // leaves a complete file either way.
    const FileDescriptor folder(
        ::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
    return support::Unit{};
}

}  // namespace quillo::platform
