#include "system/FileDefaultsStore.h"

#include "platform/AtomicFile.h"
#include "platform/FileReading.h"
#include "platform/SetAside.h"
#include "platform/StandardDirectories.h"

namespace quillo {

namespace {

support::Error storeError(const support::Error& cause) {
    return support::Error::make(DefaultsStoreError(cause.description()));
}

// The values of a file that holds a JSON object; nothing for any other file.
std::optional<nlohmann::json> readDocument(const std::filesystem::path& file) {
    auto contents = platform::readWholeFile(file);
    if (!contents) {
        return std::nullopt;
    }
    if (!contents.value()) {
        return nlohmann::json::object();
    }
    return decodeDefaultsDocument(*contents.value());
}

}  // namespace

std::optional<nlohmann::json> decodeDefaultsDocument(std::string_view text) {
    // The parser keeps its own stack, but copying a value and writing the document recurse once
    // per level: a file nested ten thousand levels deep would overflow the stack when a setting
    // is read or the file rewritten. Quillo's own values nest two levels.
    bool tooDeep = false;
    const nlohmann::json::parser_callback_t refuseDeepNesting =
        [&tooDeep](int depth, nlohmann::json::parse_event_t /*event*/, nlohmann::json& /*value*/) {
            if (depth > kMaxDefaultsDepth) {
                tooDeep = true;
                return false;
            }
            return true;
        };
    auto document = nlohmann::json::parse(text, refuseDeepNesting, false);
    if (tooDeep || document.is_discarded() || !document.is_object()) {
        return std::nullopt;
    }
    return document;
}

std::string DefaultsStoreError::description() const {
    return "Einstellungen konnten nicht gespeichert werden: " + reason_;
}

FileDefaultsStore::FileDefaultsStore(std::filesystem::path file, std::function<TimePoint()> clock)
    : file_(std::move(file)), clock_(std::move(clock)) {
    if (auto document = readDocument(file_)) {
        document_ = std::move(*document);
    } else {
        unreadableFileOnDisk_ = true;
    }
}

std::filesystem::path FileDefaultsStore::defaultURL() {
    return platform::configurationFolder() / "Quillo" / "defaults.json";
}

std::optional<nlohmann::json> FileDefaultsStore::value(std::string_view key) const {
    const auto found = document_.find(key);
    if (found == document_.end()) {
        return std::nullopt;
    }
    return *found;
}

support::Status FileDefaultsStore::setValue(std::string_view key, nlohmann::json value) {
    document_[std::string(key)] = std::move(value);
    return persist();
}

support::Status FileDefaultsStore::removeValue(std::string_view key) {
    document_.erase(std::string(key));
    return persist();
}

support::Status FileDefaultsStore::persist() {
    if (auto folder = platform::createFolders(file_.parent_path()); !folder) {
        return storeError(folder.error());
    }
    if (unreadableFileOnDisk_) {
        if (auto aside = platform::moveUnreadableFileAside(file_, clock_()); !aside) {
            return storeError(aside.error());
        }
        unreadableFileOnDisk_ = false;
    }
    // A string that is not UTF-8 is written with replacement characters: refusing it would make
    // every later write fail.
    const auto text = document_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    if (auto written = platform::writeFileAtomically(file_, text + "\n"); !written) {
        return storeError(written.error());
    }
    return support::Unit{};
}

}  // namespace quillo
