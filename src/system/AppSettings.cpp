#include "system/AppSettings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillo {

namespace {

constexpr std::string_view kDeletionModeKey = "quillo.deletionMode";
constexpr std::string_view kLogRetentionDaysKey = "quillo.logRetentionDays";
constexpr std::string_view kDisabledModuleIDsKey = "quillo.disabledModuleIDs";
constexpr std::string_view kOnboardingCompletedKey = "quillo.onboardingCompleted";
constexpr std::string_view kDailyReminderEnabledKey = "quillo.dailyReminderEnabled";
constexpr std::string_view kDeepScanEnabledKey = "quillo.deepScanEnabled";
constexpr std::string_view kKeptPathsKey = "quillo.keptPaths";
constexpr std::string_view kItemSortOrderKey = "quillo.itemSortOrder";

constexpr std::array kAllKeys{
    kDeletionModeKey,         kLogRetentionDaysKey, kDisabledModuleIDsKey, kOnboardingCompletedKey,
    kDailyReminderEnabledKey, kDeepScanEnabledKey,  kKeptPathsKey,
};

constexpr DeletionMode kDefaultDeletionMode = DeletionMode::standard;
constexpr int kDefaultLogRetentionDays = 7;
constexpr int kMaxLogRetentionDays = 365;

std::optional<int> asInteger(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        return std::in_range<int>(number) ? std::optional<int>(static_cast<int>(number))
                                          : std::nullopt;
    }
    if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        return std::in_range<int>(number) ? std::optional<int>(static_cast<int>(number))
                                          : std::nullopt;
    }
    // A whole number written with a fraction ("30.0", say by hand) still counts.
    if (value.is_number_float()) {
        const auto number = value.get<double>();
        if (std::trunc(number) == number && number >= std::numeric_limits<int>::min() &&
            number <= std::numeric_limits<int>::max()) {
            return static_cast<int>(number);
        }
    }
    return std::nullopt;
}

DeletionMode readDeletionMode(const DefaultsStore& store) {
    const auto stored = store.value(kDeletionModeKey);
    if (!stored || !stored->is_string()) {
        return kDefaultDeletionMode;
    }
    return fromRawValue<DeletionMode>(stored->get_ref<const std::string&>())
        .value_or(kDefaultDeletionMode);
}

int readLogRetentionDays(const DefaultsStore& store) {
    const auto stored = store.value(kLogRetentionDaysKey);
    return stored ? asInteger(*stored).value_or(kDefaultLogRetentionDays)
                  : kDefaultLogRetentionDays;
}

// A list holding anything but strings is no list of identifiers at all; strings that name no
// module are skipped.
std::set<CleaningModuleID> readModuleIDs(const DefaultsStore& store, std::string_view key) {
    const auto stored = store.value(key);
    if (!stored || !stored->is_array()) {
        return {};
    }
    std::set<CleaningModuleID> ids;
    for (const auto& element : *stored) {
        if (!element.is_string()) {
            return {};
        }
        if (const auto id = fromRawValue<CleaningModuleID>(element.get_ref<const std::string&>())) {
            ids.insert(*id);
        }
    }
    return ids;
}

// Rules that are no absolute paths are skipped, like unknown module names.
KeepList readKeptPaths(const DefaultsStore& store) {
    const auto stored = store.value(kKeptPathsKey);
    if (!stored || !stored->is_array()) {
        return {};
    }
    std::vector<std::string> rules;
    for (const auto& element : *stored) {
        if (element.is_string()) {
            rules.push_back(element.get<std::string>());
        }
    }
    return KeepList(rules);
}

// Stored as {"key": "size", "descending": true}; anything else gives the default.
ItemSortOrder readItemSortOrder(const DefaultsStore& store) {
    const auto stored = store.value(kItemSortOrderKey);
    if (!stored || !stored->is_object()) {
        return {};
    }
    const auto key = stored->find("key");
    const auto descending = stored->find("descending");
    if (key == stored->end() || !key->is_string() || descending == stored->end() ||
        !descending->is_boolean()) {
        return {};
    }
    const auto sortKey = fromRawValue<ItemSortKey>(key->get_ref<const std::string&>());
    return sortKey ? ItemSortOrder{.key = *sortKey, .descending = descending->get<bool>()}
                   : ItemSortOrder{};
}

bool readBoolean(const DefaultsStore& store, std::string_view key) {
    const auto stored = store.value(key);
    return stored && stored->is_boolean() && stored->get<bool>();
}

nlohmann::json storedForm(const std::set<CleaningModuleID>& ids) {
    auto list = nlohmann::json::array();
    for (const auto id : ids) {
        list.push_back(rawValue(id));
    }
    return list;
}

}  // namespace

SettingsEnvironment SettingsEnvironment::standard() {
    return {
        .checkFullDiskAccess = [] { return FullDiskAccessProbe::currentStatus(); },
        .reportStoreFailure =
            [](const support::Error& error) { std::cerr << error.description() << '\n'; },
    };
}

AppSettings::AppSettings(std::unique_ptr<DefaultsStore> defaults, SettingsEnvironment environment)
    : defaults_(std::move(defaults)),
      environment_(std::move(environment)),
      deletionMode_(notifier_, "deletionMode", readDeletionMode(*defaults_)),
      logRetentionDays_(notifier_, "logRetentionDays", readLogRetentionDays(*defaults_)),
      disabledModuleIDs_(notifier_, "disabledModuleIDs",
                         readModuleIDs(*defaults_, kDisabledModuleIDsKey)),
      onboardingCompleted_(notifier_, "onboardingCompleted",
                           readBoolean(*defaults_, kOnboardingCompletedKey)),
      dailyReminderEnabled_(notifier_, "dailyReminderEnabled",
                            readBoolean(*defaults_, kDailyReminderEnabledKey)),
      deepScanEnabled_(notifier_, "deepScanEnabled", readBoolean(*defaults_, kDeepScanEnabledKey)),
      keptPaths_(notifier_, "keptPaths", readKeptPaths(*defaults_)),
      itemSortOrder_(notifier_, "itemSortOrder", readItemSortOrder(*defaults_)),
      fullDiskAccessStatus_(notifier_, "fullDiskAccessStatus", environment_.checkFullDiskAccess()),
      includeSystemFolders_(notifier_, "includeSystemFolders", false) {}

support::ChangeNotifier::Subscription AppSettings::observe(
    support::ChangeNotifier::Observer observer) {
    return notifier_.observe(std::move(observer));
}

void AppSettings::setDeletionMode(DeletionMode mode) {
    write(kDeletionModeKey, rawValue(mode));
    deletionMode_.set(mode);
}

// Clamped before anything is held or written, so neither observers nor the store ever see a
// value out of range.
void AppSettings::setLogRetentionDays(int days) {
    const int kept = std::clamp(days, 0, kMaxLogRetentionDays);
    write(kLogRetentionDaysKey, kept);
    logRetentionDays_.set(kept);
}

void AppSettings::setDisabledModuleIDs(std::set<CleaningModuleID> ids) {
    write(kDisabledModuleIDsKey, storedForm(ids));
    disabledModuleIDs_.set(std::move(ids));
}

void AppSettings::setOnboardingCompleted(bool completed) {
    write(kOnboardingCompletedKey, completed);
    onboardingCompleted_.set(completed);
}

void AppSettings::setDailyReminderEnabled(bool enabled) {
    write(kDailyReminderEnabledKey, enabled);
    dailyReminderEnabled_.set(enabled);
}

void AppSettings::setDeepScanEnabled(bool enabled) {
    write(kDeepScanEnabledKey, enabled);
    deepScanEnabled_.set(enabled);
}

void AppSettings::setItemSortOrder(ItemSortOrder order) {
    write(kItemSortOrderKey, nlohmann::json{{"key", std::string(rawValue(order.key))},
                                            {"descending", order.descending}});
    itemSortOrder_.set(order);
}

void AppSettings::setKeptPaths(KeepList kept) {
    write(kKeptPathsKey, kept.rules());
    keptPaths_.set(std::move(kept));
}

support::Status AppSettings::addKeptPath(std::string_view rule) {
    if (auto reason = KeepList::ruleError(rule)) {
        return support::Error::make(KeepListRuleError(std::move(*reason)));
    }
    auto rules = keptPaths().rules();
    rules.push_back(KeepList::normalised(rule));
    setKeptPaths(KeepList(rules));
    return support::Unit{};
}

void AppSettings::removeKeptPath(std::string_view rule) {
    auto rules = keptPaths().rules();
    std::erase(rules, KeepList::normalised(rule));
    setKeptPaths(KeepList(rules));
}

void AppSettings::setFullDiskAccessStatus(FullDiskAccessProbe::Status status) {
    fullDiskAccessStatus_.set(status);
}

void AppSettings::setIncludeSystemFolders(bool include) {
    includeSystemFolders_.set(include);
}

void AppSettings::refreshFullDiskAccessStatus() {
    setFullDiskAccessStatus(environment_.checkFullDiskAccess());
}

void AppSettings::setModuleEnabled(CleaningModuleID id, bool enabled) {
    auto ids = disabledModuleIDs();
    if (enabled) {
        ids.erase(id);
    } else {
        ids.insert(id);
    }
    setDisabledModuleIDs(std::move(ids));
}

std::set<CleaningModuleID> AppSettings::enabledModuleIDs() const {
    std::set<CleaningModuleID> enabled;
    for (const auto id : allCleaningModuleIDs) {
        if (!disabledModuleIDs().contains(id)) {
            enabled.insert(id);
        }
    }
    return enabled;
}

void AppSettings::resetAll() {
    const support::ChangeNotifier::Batch batch(notifier_);
    for (const auto key : kAllKeys) {
        report(defaults_->removeValue(key));
    }
    setDeletionMode(kDefaultDeletionMode);
    setLogRetentionDays(kDefaultLogRetentionDays);
    setDisabledModuleIDs({});
    setOnboardingCompleted(false);
    setDailyReminderEnabled(false);
    setDeepScanEnabled(false);
    setKeptPaths({});
    setItemSortOrder({});
}

support::Provider<KeepList> keptPathsProvider(AppSettings& settings,
                                              support::ExecutorRef mainExecutor) {
    return [&settings,
            mainExecutor = std::move(mainExecutor)](const std::function<void(KeepList)>& answer) {
        mainExecutor->post([&settings, answer] { answer(settings.keptPaths()); });
    };
}

void AppSettings::write(std::string_view key, nlohmann::json value) {
    report(defaults_->setValue(key, std::move(value)));
}

void AppSettings::report(const support::Status& status) {
    if (!status) {
        environment_.reportStoreFailure(status.error());
    }
}

}  // namespace quillo
