#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "model/CleaningModuleID.h"
#include "model/DeletionMode.h"
#include "model/ItemSortOrder.h"
#include "model/KeepList.h"
#include "support/Error.h"
#include "support/Executor.h"
#include "support/Observation.h"
#include "support/Provider.h"
#include "system/DefaultsStore.h"
#include "system/FullDiskAccessProbe.h"

namespace quillo {

/// What the settings reach beyond their store.
struct SettingsEnvironment {
    std::function<FullDiskAccessProbe::Status()> checkFullDiskAccess;
    /// Told whenever the store could not keep a change; the settings hold the value regardless.
    std::function<void(const support::Error&)> reportStoreFailure;

    /// The probe of the real protected file and a line on standard error for each failure.
    static SettingsEnvironment standard();
};

/// The user's persistent choices, written through to the defaults store on every assignment,
/// and the current full-disk-access status. Main thread only. Observers hear a field's name
/// when its value changes; assigning the current value still writes it, but notifies nobody.
class AppSettings final {
  public:
    /// Reads every setting from `defaults` (writing nothing) and checks full disk access once.
    explicit AppSettings(std::unique_ptr<DefaultsStore> defaults,
                         SettingsEnvironment environment = SettingsEnvironment::standard());
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    [[nodiscard]] support::ChangeNotifier::Subscription observe(
        support::ChangeNotifier::Observer observer);

    [[nodiscard]] const DefaultsStore& defaults() const { return *defaults_; }

    [[nodiscard]] DeletionMode deletionMode() const { return deletionMode_.get(); }
    void setDeletionMode(DeletionMode mode);

    [[nodiscard]] int logRetentionDays() const { return logRetentionDays_.get(); }
    /// Kept within 0 to 365 days.
    void setLogRetentionDays(int days);

    [[nodiscard]] const std::set<CleaningModuleID>& disabledModuleIDs() const {
        return disabledModuleIDs_.get();
    }
    void setDisabledModuleIDs(std::set<CleaningModuleID> ids);

    [[nodiscard]] bool onboardingCompleted() const { return onboardingCompleted_.get(); }
    void setOnboardingCompleted(bool completed);

    [[nodiscard]] bool dailyReminderEnabled() const { return dailyReminderEnabled_.get(); }
    void setDailyReminderEnabled(bool enabled);

    [[nodiscard]] bool deepScanEnabled() const { return deepScanEnabled_.get(); }
    void setDeepScanEnabled(bool enabled);

    /// How the result list is sorted; by size, largest first, until the user chooses.
    [[nodiscard]] ItemSortOrder itemSortOrder() const { return itemSortOrder_.get(); }
    void setItemSortOrder(ItemSortOrder order);

    /// What no module offers and no deletion touches.
    [[nodiscard]] const KeepList& keptPaths() const { return keptPaths_.get(); }
    void setKeptPaths(KeepList kept);
    /// Adds `rule` (normalised) at the end; fails with the German reason for a rule that cannot
    /// be kept, changing nothing. A rule already kept stays where it is.
    support::Status addKeptPath(std::string_view rule);
    void removeKeptPath(std::string_view rule);

    /// Not persisted.
    [[nodiscard]] FullDiskAccessProbe::Status fullDiskAccessStatus() const {
        return fullDiskAccessStatus_.get();
    }
    void setFullDiskAccessStatus(FullDiskAccessProbe::Status status);
    /// Checks again; observers hear of it only when the status changed.
    void refreshFullDiskAccessStatus();

    /// Whether scans take in the system folders through the administrator helper: a choice for
    /// this session only, never stored, so each start asks for the authentication anew.
    [[nodiscard]] bool includeSystemFolders() const { return includeSystemFolders_.get(); }
    void setIncludeSystemFolders(bool include);

    void setModuleEnabled(CleaningModuleID id, bool enabled);
    /// Every module that is not disabled.
    [[nodiscard]] std::set<CleaningModuleID> enabledModuleIDs() const;

    /// Every persisted setting back to its default (written explicitly). Observers hear of the
    /// changes once the whole reset is done. The receipts are the receipt store's to reset.
    void resetAll();

  private:
    void write(std::string_view key, nlohmann::json value);
    void report(const support::Status& status);

    std::unique_ptr<DefaultsStore> defaults_;
    SettingsEnvironment environment_;
    support::ChangeNotifier notifier_;
    support::ObservedField<DeletionMode> deletionMode_;
    support::ObservedField<int> logRetentionDays_;
    support::ObservedField<std::set<CleaningModuleID>> disabledModuleIDs_;
    support::ObservedField<bool> onboardingCompleted_;
    support::ObservedField<bool> dailyReminderEnabled_;
    support::ObservedField<bool> deepScanEnabled_;
    support::ObservedField<KeepList> keptPaths_;
    support::ObservedField<ItemSortOrder> itemSortOrder_;
    support::ObservedField<FullDiskAccessProbe::Status> fullDiskAccessStatus_;
    support::ObservedField<bool> includeSystemFolders_;
};

/// The keep-list as it stands when asked, read on the settings' own thread `mainExecutor`.
support::Provider<KeepList> keptPathsProvider(AppSettings& settings,
                                              support::ExecutorRef mainExecutor);

}  // namespace quillo
