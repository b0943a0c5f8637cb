#include "text/Translations.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

namespace quillo::text {

namespace {

class InstalledTranslations final {
  public:
    [[nodiscard]] const TextTable* current() const {
        return current_.load(std::memory_order_acquire);
    }

    void install(std::unique_ptr<const TextTable> table) {
        const std::lock_guard lock(mutex_);
        current_.store(table.get(), std::memory_order_release);
        if (table) {
            retained_.push_back(std::move(table));
        }
    }

  private:
    std::mutex mutex_;
    // Readers on other threads may still hold texts of an earlier table.
    std::vector<std::unique_ptr<const TextTable>> retained_;
    std::atomic<const TextTable*> current_{nullptr};
};

InstalledTranslations& installed() {
    static InstalledTranslations instance;
    return instance;
}

bool isPlainLocaleName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-';
    });
}

support::Error fileError(const std::filesystem::path& file, const std::string& reason) {
    return support::Error::make(TextTableError(file.filename().string() + ": " + reason));
}

support::Result<TextTable> readTranslationFile(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    if (!stream || !contents) {
        return fileError(file, "nicht lesbar");
    }
    auto table = parseTextTable(contents.str());
    if (!table) {
        const auto* detail = table.error().as<TextTableError>();
        return fileError(file, detail != nullptr ? detail->reason() : table.error().description());
    }
    return table;
}

}  // namespace

const std::string* translation(std::string_view key) {
    const TextTable* table = installed().current();
    if (table == nullptr) {
        return nullptr;
    }
    const auto entry = table->find(key);
    return entry == table->end() ? nullptr : &entry->second;
}

void installTranslations(TextTable table) {
    installed().install(std::make_unique<const TextTable>(std::move(table)));
}

void clearTranslations() {
    installed().install(nullptr);
}

std::optional<std::string> preferredLocale(
    const std::function<const char*(const char*)>& environmentVariable) {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = environmentVariable(variable);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        std::string_view name(value);
        name = name.substr(0, name.find_first_of(".@"));
        if (name == "C" || name == "POSIX" || !isPlainLocaleName(name)) {
            return std::nullopt;
        }
        return std::string(name);
    }
    return std::nullopt;
}

std::vector<std::string> translationFileNames(std::string_view locale) {
    std::vector<std::string> names{std::string(locale) + ".json"};
    const auto territory = locale.find_first_of("_-");
    if (territory != std::string_view::npos && territory > 0) {
        names.push_back(std::string(locale.substr(0, territory)) + ".json");
    }
    return names;
}

support::Status loadTranslations(const std::filesystem::path& folder, std::string_view locale) {
    if (!isPlainLocaleName(locale)) {
        clearTranslations();
        return support::Unit{};
    }
    for (const auto& name : translationFileNames(locale)) {
        const auto file = folder / name;
        std::error_code error;
        const bool present = std::filesystem::exists(file, error);
        if (error) {
            return fileError(file, error.message());
        }
        if (!present) {
            continue;
        }
        auto table = readTranslationFile(file);
        if (!table) {
            return table.error();
        }
        installTranslations(std::move(table).value());
        return support::Unit{};
    }
    clearTranslations();
    return support::Unit{};
}

support::Status loadTranslations(const std::filesystem::path& folder) {
    const auto locale = preferredLocale([](const char* name) { return std::getenv(name); });
    return loadTranslations(folder, locale.value_or(""));
}

}  // namespace quillo::text
