#include "platform/KeyFile.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileDescriptor.h"

namespace quillo::platform {

namespace {

std::optional<std::string> checkedValue(gchar* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    std::string text(value);
    g_free(value);
    if (text.size() > KeyFile::kMaxValueBytes || !g_utf8_validate(text.data(), -1, nullptr)) {
        return std::nullopt;
    }
    return text;
}

std::vector<std::string> takeStrings(gchar** values, std::size_t limit) {
    std::vector<std::string> strings;
    if (values == nullptr) {
        return strings;
    }
    for (gchar** value = values; *value != nullptr && strings.size() < limit; ++value) {
        if (**value != '\0' && g_utf8_validate(*value, -1, nullptr)) {
            strings.emplace_back(*value);
        }
    }
    g_strfreev(values);
    return strings;
}

}  // namespace

std::optional<std::string> readCappedFile(const std::filesystem::path& file, std::size_t limit) {
    const FileDescriptor descriptor(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (!descriptor.valid() || ::fstat(descriptor.get(), &status) != 0 ||
        !S_ISREG(status.st_mode) || static_cast<std::size_t>(status.st_size) > limit) {
        return std::nullopt;
    }
    std::string bytes(limit + 1, '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const auto got = ::read(descriptor.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    // The file may have grown since it was measured.
    if (filled > limit) {
        return std::nullopt;
    }
    bytes.resize(filled);
    return bytes;
}

std::optional<KeyFile> KeyFile::read(const std::filesystem::path& file, std::size_t limit) {
    const auto bytes = readCappedFile(file, limit);
    return bytes ? parse(*bytes) : std::nullopt;
}

std::optional<KeyFile> KeyFile::parse(std::string_view text) {
    std::shared_ptr<GKeyFile> file(g_key_file_new(), g_key_file_unref);
    g_key_file_set_list_separator(file.get(), ';');
    if (!g_key_file_load_from_data(file.get(), text.data(), text.size(), G_KEY_FILE_NONE,
                                   nullptr)) {
        return std::nullopt;
    }
    return KeyFile(std::move(file));
}

bool KeyFile::hasGroup(const std::string& group) const {
    return g_key_file_has_group(file_.get(), group.c_str()) != FALSE;
}

std::vector<std::string> KeyFile::groups() const {
    return takeStrings(g_key_file_get_groups(file_.get(), nullptr), kMaxListEntries);
}

std::vector<std::string> KeyFile::keys(const std::string& group) const {
    return takeStrings(g_key_file_get_keys(file_.get(), group.c_str(), nullptr, nullptr),
                       kMaxListEntries);
}

std::optional<std::string> KeyFile::string(const std::string& group, const std::string& key) const {
    return checkedValue(g_key_file_get_string(file_.get(), group.c_str(), key.c_str(), nullptr));
}

std::optional<std::string> KeyFile::localeString(const std::string& group,
                                                 const std::string& key) const {
    return checkedValue(
        g_key_file_get_locale_string(file_.get(), group.c_str(), key.c_str(), nullptr, nullptr));
}

std::vector<std::string> KeyFile::stringList(const std::string& group,
                                             const std::string& key) const {
    return takeStrings(
        g_key_file_get_string_list(file_.get(), group.c_str(), key.c_str(), nullptr, nullptr),
        kMaxListEntries);
}

}  // namespace quillo::platform
