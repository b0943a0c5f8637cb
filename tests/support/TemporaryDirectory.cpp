#include "support/TemporaryDirectory.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quillo::testing {

namespace {

// Gives back search and write permission below `root`, so that folders a test made unreadable
// can be removed.
void restorePermissions(const std::filesystem::path& root) {
    std::error_code error;
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    for (auto it = std::filesystem::recursive_directory_iterator(
             root, std::filesystem::directory_options::skip_permission_denied, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        }
    }
}

}  // namespace

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = std::filesystem::canonical(pattern);
}

TemporaryDirectory::~TemporaryDirectory() {
    restorePermissions(path_);
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

}  // namespace quillo::testing
