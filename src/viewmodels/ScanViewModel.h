#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "modules/CleaningEngine.h"
#include "support/Executor.h"
#include "support/Observation.h"
#include "system/AppSettings.h"
#include "system/FullDiskAccessProbe.h"
#include "viewmodels/DerivedResults.h"
#include "viewmodels/ItemIndex.h"
#include "viewmodels/ItemSearchIndex.h"
#include "viewmodels/PhaseCases.h"
#include "viewmodels/TaskHandle.h"
#include "viewmodels/UuidSet.h"

namespace quillo {

/// The state of the main window: the scan phase, what every module found, the selection and the
/// search text, with totals kept ready for the views. Main thread only. Observers hear a field's
/// name (the accessor's name) once per change, after the command that changed it is done.
class ScanViewModel final {
  public:
    using Failed = phase::Failed;
    using Idle = phase::Idle;
    using Scanning = phase::Scanning;
    struct Completed {
        friend bool operator==(Completed, Completed) = default;
    };
    using Phase = std::variant<Failed, Idle, Scanning, Completed>;

    /// Items by address in `resultsByModule`: valid until the results change, which observers
    /// hear of. Rebuilding the derived fields then costs no copy of any item.
    using ItemRefs = std::vector<const CleanableItem*>;
    using ItemIDs = UuidSet;
    using BytesPerModule = std::map<CleaningModuleID, std::int64_t>;

    /// `settings` must outlive the view model. Scan outcomes are taken on `mainExecutor`, the
    /// executor of the thread this object lives on. `isSandboxed` is asked afresh whenever
    /// availability is decided; `accessScope` says whether access can withhold a whole module.
    /// Where a `background` executor is given, replaced results are freed there and each
    /// module's list is sorted there ahead of its first showing: freeing or sorting a large
    /// scan would otherwise stall the main thread for longer than a frame.
    ScanViewModel(
        std::shared_ptr<const CleaningEngine> engine, const AppSettings& settings,
        std::shared_ptr<support::MainExecutor> mainExecutor,
        std::function<bool()> isSandboxed = [] { return FullDiskAccessProbe::isSandboxed(); },
        FullDiskAccessProbe::AccessScope accessScope = FullDiskAccessProbe::platformAccessScope(),
        support::ExecutorRef background = nullptr);
    ScanViewModel(const ScanViewModel&) = delete;
    ScanViewModel& operator=(const ScanViewModel&) = delete;
    /// Cancels a running scan; its outcome is then dropped, also when already queued.
    ~ScanViewModel();

    [[nodiscard]] support::ChangeNotifier::Subscription observe(
        support::ChangeNotifier::Observer observer);

    [[nodiscard]] const Phase& phase() const { return phase_.get(); }
    /// In the order the engine returned each module's items.
    [[nodiscard]] const ScanResults& resultsByModule() const { return resultsByModule_; }
    [[nodiscard]] const ItemIDs& selectedItemIDs() const { return selectedItemIDs_; }
    [[nodiscard]] const std::string& searchQuery() const { return searchQuery_.get(); }
    [[nodiscard]] const ItemRefs& cachedAllItems() const { return cachedAllItems_.get(); }
    [[nodiscard]] const ItemIndex& itemsByID() const { return itemsByID_.get(); }
    [[nodiscard]] const BytesPerModule& bytesPerModule() const { return bytesPerModule_.get(); }
    [[nodiscard]] std::int64_t totalBytes() const { return totalBytes_.get(); }
    [[nodiscard]] const std::optional<TaskHandle>& currentScan() const {
        return currentScan_.get();
    }
    /// The engine's modules, in its order.
    [[nodiscard]] const std::vector<CleaningModuleDescriptor>& descriptors() const {
        return descriptors_;
    }

    [[nodiscard]] FullDiskAccessProbe::AccessScope accessScope() const { return accessScope_; }
    /// The descriptors whose modules the settings do not disable.
    [[nodiscard]] std::vector<CleaningModuleDescriptor> enabledDescriptors() const;
    /// Whether the module can run under the current sandbox and full-disk-access situation.
    [[nodiscard]] bool isAvailable(const CleaningModuleDescriptor& descriptor) const;
    [[nodiscard]] bool hasAvailableModule() const;
    /// The module's items whose name or path contains the trimmed search text, ignoring case;
    /// all of them for a blank search text. Sorted by the settings' order, ties in scan order.
    [[nodiscard]] ItemRefs visibleItems(CleaningModuleID moduleID) const;
    /// The same into `visible`, whose storage is reused: a list shown again after each letter
    /// typed then takes no fresh memory.
    void visibleItems(CleaningModuleID moduleID, ItemRefs& visible) const;
    [[nodiscard]] bool isSelected(const Uuid& id) const { return selectedItemIDs_.contains(id); }
    /// Copies of the found items among the selected identifiers, in no particular order.
    [[nodiscard]] CleanableItems selectedItems() const;
    /// Whether a selected ID names a listed item; cheap, unlike `selectedItems`.
    [[nodiscard]] bool hasSelectedItems() const;
    /// Kept up to date with every change of the selection or the results.
    [[nodiscard]] std::int64_t selectedBytes() const { return selectedBytes_; }
    [[nodiscard]] std::string subtitle() const;

    /// Cancels a running scan, clears results and selection and scans the enabled, available
    /// modules.
    void startScan();
    /// Stops a running scan; results already shown stay.
    void cancelScan();
    /// Replaces the results and rebuilds every field derived from them; equal results change
    /// nothing.
    void applyResults(ScanResults results);
    /// The same for results whose derived fields, sorted orders and search indexes were made
    /// off the main thread, as a finished scan's are: taking them walks no item.
    void applyPrepared(PreparedResults prepared);
    void toggleSelection(const Uuid& id);
    /// Selects exactly the items that are safe by default and not recently modified, in every
    /// module, whatever the search text.
    void selectSafe();
    void selectAll();
    void clearSelection();
    /// Drops the items a deletion run removed from the results and the selection.
    void removeDeletedItems(const std::vector<Uuid>& ids);
    /// Drops the items the settings' keep-list now touches, as if a deletion had removed them.
    void leaveOutKept();
    void setSearchQuery(const std::string& query);

  private:
    using SearchIndexes = std::map<CleaningModuleID, ItemSearchIndex>;

    [[nodiscard]] std::set<CleaningModuleID> modulesToScan() const;
    void finishScan(const TaskHandle& task, support::Result<PreparedResults> outcome);
    /// Tells of the new results and derives every field from them.
    void resultsChanged();
    /// Tells of the new results and takes `derived`, made from them.
    void takeDerived(DerivedResults derived);
    /// Hands results no longer shown, and what was derived from them, to the background.
    void dispose(ScanResults results, SearchIndexes indexes);
    /// Sorts every module's items by size or date on the background; an answer counts only for
    /// the results and the order it was made for, and only if no showing sorted them first.
    /// Called after `takeDerived`, which counts the results' generation.
    void sortAhead();
    template <typename Wanted>
    void selectWhere(Wanted wanted);
    void recountSelectedBytes();
    [[nodiscard]] std::int64_t sizeOf(const Uuid& id) const;
    /// The positions of the module's items in the settings' order, sorted on first use after
    /// the results or the order change, so that each letter typed into the search only filters.
    [[nodiscard]] const ItemPositions& orderedPositions(CleaningModuleID moduleID,
                                                        const CleanableItems& items) const;

    /// Folds a slice of the results for the search on the main executor, and posts itself again
    /// until every module is folded: the first letter typed then finds the work done.
    void prepareSearchAhead();

    std::shared_ptr<const CleaningEngine> engine_;
    const AppSettings& settings_;
    std::shared_ptr<support::MainExecutor> mainExecutor_;
    std::function<bool()> isSandboxed_;
    FullDiskAccessProbe::AccessScope accessScope_;
    support::ExecutorRef background_;
    std::vector<CleaningModuleDescriptor> descriptors_;

    support::ChangeNotifier notifier_;
    support::ObservedField<Phase> phase_;
    // The results and the selection are no ObservedFields so that they can be edited in place: a
    // copy of a large selection per click, or of all results per deletion run, would cost more
    // than the edit. Their changes are told under the same rule.
    ScanResults resultsByModule_;
    ItemIDs selectedItemIDs_;
    support::ObservedField<std::string> searchQuery_;
    support::ObservedField<ItemRefs> cachedAllItems_;
    support::ObservedField<ItemIndex> itemsByID_;
    support::ObservedField<BytesPerModule> bytesPerModule_;
    support::ObservedField<std::int64_t> totalBytes_;
    support::ObservedField<std::optional<TaskHandle>> currentScan_;

    std::int64_t selectedBytes_ = 0;
    // Made after the results change, in slices between other work, or at once by a search that
    // comes first.
    mutable SearchIndexes searchIndexes_;
    bool preparingSearch_ = false;
    // Posted work holds it weakly, so that work queued for a destroyed view model does nothing.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
    // Positions rather than addresses, so that a sort made on the background is taken as it is.
    struct SortedPositions {
        ItemSortOrder order;
        ItemPositions positions;
    };
    mutable std::map<CleaningModuleID, SortedPositions> sortedPositions_;
    // Counts the changes of the results, so that a sort made ahead for earlier ones is dropped.
    std::uint64_t resultsGeneration_ = 0;
    std::uint64_t lastScanSerial_ = 0;
};

}  // namespace quillo
