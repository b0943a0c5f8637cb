#include "viewmodels/ScanViewModel.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <utility>

#include "model/SafeSelection.h"
#include "platform/KeptPaths.h"
#include "support/Formatting.h"
#include "text/SearchText.h"
#include "text/Text.h"

namespace quillo {

namespace {

constexpr std::string_view kResultsByModule = "resultsByModule";
constexpr std::string_view kSelectedItemIDs = "selectedItemIDs";

struct SubtitleText {
    const ScanViewModel& model;

    std::string operator()(const ScanViewModel::Failed& failed) const {
        return text::format("content.subtitle.failed.format", {failed.message});
    }
    std::string operator()(ScanViewModel::Idle) const {
        return text::text("content.subtitle.idle");
    }
    std::string operator()(ScanViewModel::Scanning) const {
        return text::text("content.subtitle.scanning");
    }
    std::string operator()(ScanViewModel::Completed) const {
        return text::format("content.subtitle.completed.format",
                            {support::formatByteCount(model.totalBytes()),
                             support::formatByteCount(model.selectedBytes())});
    }
};

}  // namespace

ScanViewModel::ScanViewModel(std::shared_ptr<const CleaningEngine> engine,
                             const AppSettings& settings,
                             std::shared_ptr<support::MainExecutor> mainExecutor,
                             std::function<bool()> isSandboxed,
                             FullDiskAccessProbe::AccessScope accessScope,
                             support::ExecutorRef background)
    : engine_(std::move(engine)),
      settings_(settings),
      mainExecutor_(std::move(mainExecutor)),
      isSandboxed_(std::move(isSandboxed)),
      accessScope_(accessScope),
      background_(std::move(background)),
      descriptors_(engine_->descriptors()),
      phase_(notifier_, "phase", Idle{}),
      searchQuery_(notifier_, "searchQuery"),
      cachedAllItems_(notifier_, "cachedAllItems"),
      itemsByID_(notifier_, "itemsByID"),
      bytesPerModule_(notifier_, "bytesPerModule"),
      totalBytes_(notifier_, "totalBytes"),
      currentScan_(notifier_, "currentScan") {}

ScanViewModel::~ScanViewModel() {
    if (const auto& running = currentScan_.get()) {
        running->cancellation.cancel();
    }
}

support::ChangeNotifier::Subscription ScanViewModel::observe(
    support::ChangeNotifier::Observer observer) {
    return notifier_.observe(std::move(observer));
}

std::vector<CleaningModuleDescriptor> ScanViewModel::enabledDescriptors() const {
    const auto& disabled = settings_.disabledModuleIDs();
    std::vector<CleaningModuleDescriptor> enabled;
    std::copy_if(descriptors_.begin(), descriptors_.end(), std::back_inserter(enabled),
                 [&](const CleaningModuleDescriptor& descriptor) {
                     return !disabled.contains(descriptor.id);
                 });
    return enabled;
}

bool ScanViewModel::isAvailable(const CleaningModuleDescriptor& descriptor) const {
    return FullDiskAccessProbe::isModuleAvailable(descriptor, settings_.fullDiskAccessStatus(),
                                                  isSandboxed_(), accessScope_);
}

bool ScanViewModel::hasAvailableModule() const {
    const auto enabled = enabledDescriptors();
    return std::any_of(
        enabled.begin(), enabled.end(),
        [this](const CleaningModuleDescriptor& descriptor) { return isAvailable(descriptor); });
}

ScanViewModel::ItemRefs ScanViewModel::visibleItems(CleaningModuleID moduleID) const {
    ItemRefs visible;
    visibleItems(moduleID, visible);
    return visible;
}

void ScanViewModel::visibleItems(CleaningModuleID moduleID, ItemRefs& visible) const {
    visible.clear();
    const auto entry = resultsByModule().find(moduleID);
    if (entry == resultsByModule().end()) {
        return;
    }
    const auto& items = entry->second;
    const auto& sorted = orderedPositions(moduleID, items);
    const auto query = SearchText::trimmed(searchQuery());
    if (query.empty()) {
        visible.reserve(sorted.size());
        for (const auto position : sorted) {
            visible.push_back(&items[position]);
        }
        return;
    }
    auto& index = searchIndexes_[moduleID];
    index.extend(items, items.size());
    const auto matching = index.matches(SearchText::folded(query));
    for (const auto position : sorted) {
        if (matching[position]) {
            visible.push_back(&items[position]);
        }
    }
}

const ItemPositions& ScanViewModel::orderedPositions(CleaningModuleID moduleID,
                                                     const CleanableItems& items) const {
    const auto order = settings_.itemSortOrder();
    auto [entry, made] = sortedPositions_.try_emplace(moduleID);
    auto& sorted = entry->second;
    if (made || sorted.order != order) {
        sorted.order = order;
        sorted.positions = sortedPositions(items, order);
    }
    return sorted.positions;
}

CleanableItems ScanViewModel::selectedItems() const {
    CleanableItems selected;
    selected.reserve(selectedItemIDs_.size());
    for (const auto& id : selectedItemIDs_) {
        if (const auto* item = itemsByID().find(id)) {
            selected.push_back(*item);
        }
    }
    return selected;
}

bool ScanViewModel::hasSelectedItems() const {
    return std::ranges::any_of(selectedItemIDs_,
                               [this](const Uuid& id) { return itemsByID().find(id) != nullptr; });
}

std::string ScanViewModel::subtitle() const {
    return std::visit(SubtitleText{*this}, phase());
}

void ScanViewModel::startScan() {
    const support::ChangeNotifier::Batch batch(notifier_);
    if (const auto& running = currentScan_.get()) {
        running->cancellation.cancel();
    }
    phase_.set(Scanning{});
    applyResults({});
    clearSelection();

    TaskHandle task{.cancellation = {}, .serial = ++lastScanSerial_};
    // The engine answers on its own context; the outcome is taken on the main thread. A task
    // stops being current only by being cancelled (a new scan, cancelScan or the destructor), so
    // the outcome of a cancelled task is dropped before it touches this object, which may be
    // gone: the replacing scan or cancelScan owns phase and results now. What is derived from the
    // results is made on the engine's context, so that taking a large result does not stall the
    // main thread.
    engine_->scan(modulesToScan(), task.cancellation.token(),
                  [this, task, mainExecutor = mainExecutor_,
                   order = settings_.itemSortOrder()](support::Result<ScanResults> outcome) {
                      support::Result<PreparedResults> prepared =
                          outcome ? support::Result<PreparedResults>(
                                        PreparedResults(std::move(outcome).value(), order))
                                  : support::Result<PreparedResults>(outcome.error());
                      mainExecutor->post([this, task, prepared = std::move(prepared)]() mutable {
                          if (!task.cancellation.isCancelled()) {
                              finishScan(task, std::move(prepared));
                          }
                      });
                  });
    currentScan_.set(std::move(task));
}

void ScanViewModel::finishScan([[maybe_unused]] const TaskHandle& task,
                               support::Result<PreparedResults> outcome) {
    assert(currentScan_.get() == task && "a replaced scan is cancelled");
    const support::ChangeNotifier::Batch batch(notifier_);
    currentScan_.set(std::nullopt);
    if (outcome) {
        applyPrepared(std::move(outcome).value());
        phase_.set(Completed{});
    } else if (outcome.error().isCancellation()) {
        phase_.set(Idle{});
    } else {
        phase_.set(Failed{outcome.error().description()});
    }
}

void ScanViewModel::cancelScan() {
    const support::ChangeNotifier::Batch batch(notifier_);
    if (const auto& running = currentScan_.get()) {
        running->cancellation.cancel();
    }
    currentScan_.set(std::nullopt);
    phase_.set(Idle{});
}

std::set<CleaningModuleID> ScanViewModel::modulesToScan() const {
    std::set<CleaningModuleID> modules;
    for (const auto& descriptor : enabledDescriptors()) {
        if (isAvailable(descriptor)) {
            modules.insert(descriptor.id);
        }
    }
    return modules;
}

void ScanViewModel::applyResults(ScanResults results) {
    if (results == resultsByModule_) {
        return;
    }
    const support::ChangeNotifier::Batch batch(notifier_);
    auto indexes = std::exchange(searchIndexes_, {});
    auto replaced = std::exchange(resultsByModule_, std::move(results));
    resultsChanged();
    // Handed over only now: freeing them while the new fields were made here slowed both down, as
    // the two threads then contend for the allocator and the memory.
    dispose(std::move(replaced), std::move(indexes));
}

void ScanViewModel::applyPrepared(PreparedResults prepared) {
    const support::ChangeNotifier::Batch batch(notifier_);
    auto indexes = std::exchange(searchIndexes_, {});
    auto replaced = std::exchange(resultsByModule_, std::move(prepared.results));
    takeDerived(std::move(prepared.derived));
    searchIndexes_ = std::move(prepared.searchIndexes);
    // Kept with their order: if the settings' changed meanwhile, the list is sorted when shown.
    for (auto& [module, positions] : prepared.sorted) {
        sortedPositions_[module] = SortedPositions{prepared.order, std::move(positions)};
    }
    dispose(std::move(replaced), std::move(indexes));
}

void ScanViewModel::dispose(ScanResults results, SearchIndexes indexes) {
    if (!background_ || (results.empty() && indexes.empty())) {
        return;
    }
    // The items' folded names go along: they are as many strings as there are items.
    auto retired = std::make_shared<std::pair<ScanResults, SearchIndexes>>(std::move(results),
                                                                           std::move(indexes));
    background_->post([retired = std::move(retired)]() mutable { retired.reset(); });
}

void ScanViewModel::sortAhead() {
    const std::uint64_t generation = resultsGeneration_;
    const ItemSortOrder order = settings_.itemSortOrder();
    // Names are compared folded, which needs the items themselves; they are sorted when shown.
    if (!background_ || order.key == ItemSortKey::name) {
        return;
    }
    for (const auto& [module, items] : resultsByModule_) {
        // Only the keys go: the background never reads the items, which the main thread may free
        // or edit meanwhile.
        background_->post([this, alive = std::weak_ptr<char>(alive_), main = mainExecutor_,
                           module = module, order, generation, keys = sortKeys(items, order.key)] {
            main->post([this, alive, module, order, generation,
                        positions = positionsByKey(keys, order.descending)]() mutable {
                if (alive.expired() || generation != resultsGeneration_ ||
                    order != settings_.itemSortOrder()) {
                    return;
                }
                sortedPositions_.try_emplace(module, SortedPositions{order, std::move(positions)});
            });
        });
    }
}

void ScanViewModel::resultsChanged() {
    takeDerived(DerivedResults(resultsByModule_));
    sortAhead();
    prepareSearchAhead();
}

void ScanViewModel::takeDerived(DerivedResults derived) {
    notifier_.changed(kResultsByModule);
    itemsByID_.set(std::move(derived.byID));
    cachedAllItems_.set(std::move(derived.all));
    bytesPerModule_.set(std::move(derived.bytesPerModule));
    totalBytes_.set(derived.totalBytes);
    searchIndexes_.clear();
    sortedPositions_.clear();
    ++resultsGeneration_;
    recountSelectedBytes();
}

void ScanViewModel::prepareSearchAhead() {
    // About a millisecond of folding: short enough not to delay a frame.
    constexpr std::size_t kItemsPerSlice = 8192;
    if (std::exchange(preparingSearch_, true)) {
        return;
    }
    mainExecutor_->post([this, alive = std::weak_ptr<char>(alive_)] {
        if (alive.expired()) {
            return;
        }
        preparingSearch_ = false;
        std::size_t budget = kItemsPerSlice;
        for (const auto& [module, items] : resultsByModule_) {
            auto& index = searchIndexes_[module];
            budget -= index.extend(items, budget);
            if (budget == 0 && !index.covers(items)) {
                prepareSearchAhead();
                return;
            }
        }
    });
}

void ScanViewModel::toggleSelection(const Uuid& id) {
    if (selectedItemIDs_.erase(id) > 0) {
        selectedBytes_ -= sizeOf(id);
    } else {
        selectedItemIDs_.insert(id);
        selectedBytes_ += sizeOf(id);
    }
    notifier_.changed(kSelectedItemIDs);
}

void ScanViewModel::selectSafe() {
    selectWhere(belongsToSafeSelection);
}

void ScanViewModel::selectAll() {
    selectWhere([](const CleanableItem&) { return true; });
}

// Counted first, so that the set is filled at its size. The current set's table is refilled
// rather than a new one made: first touches of a fresh table of millions of slots cost more than
// filling it. The bytes are summed on the same ordered walk, as looking each item up again by
// its identifier took longer than filling the set.
template <typename Wanted>
void ScanViewModel::selectWhere(Wanted wanted) {
    const auto& items = cachedAllItems();
    const auto isWanted = [&](const CleanableItem* item) { return wanted(*item); };
    const auto count = static_cast<std::size_t>(std::ranges::count_if(items, isWanted));
    if (count == selectedItemIDs_.size() &&
        std::ranges::all_of(items, [&](const CleanableItem* item) {
            return !isWanted(item) || selectedItemIDs_.contains(item->id);
        })) {
        return;
    }
    selectedItemIDs_.clear();
    selectedItemIDs_.reserve(count);
    selectedBytes_ = 0;
    for (const auto* item : items) {
        if (wanted(*item) && selectedItemIDs_.insert(item->id)) {
            selectedBytes_ += item->sizeInBytes;
        }
    }
    notifier_.changed(kSelectedItemIDs);
}

// A new set rather than a cleared one: the table of a large selection is freed.
void ScanViewModel::clearSelection() {
    if (selectedItemIDs_.empty()) {
        return;
    }
    selectedItemIDs_ = {};
    selectedBytes_ = 0;
    notifier_.changed(kSelectedItemIDs);
}

void ScanViewModel::removeDeletedItems(const std::vector<Uuid>& ids) {
    const support::ChangeNotifier::Batch batch(notifier_);
    const ItemIDs removed(ids.begin(), ids.end());
    bool deselected = false;
    for (const auto& id : removed) {
        deselected = selectedItemIDs_.erase(id) > 0 || deselected;
    }
    if (deselected) {
        notifier_.changed(kSelectedItemIDs);
    }
    // In place: the remaining items keep their order, and nothing but the removed ones is freed.
    std::size_t erased = 0;
    for (auto& entry : resultsByModule_) {
        erased += std::erase_if(
            entry.second, [&](const CleanableItem& item) { return removed.contains(item.id); });
    }
    if (erased > 0) {
        resultsChanged();
    }
}

void ScanViewModel::leaveOutKept() {
    const platform::KeptPaths keptPaths(settings_.keptPaths());
    std::vector<Uuid> kept;
    for (const auto* item : cachedAllItems()) {
        if (keptPaths.touches(item->url.native())) {
            kept.push_back(item->id);
        }
    }
    removeDeletedItems(kept);
}

// Taken by reference: moving a by-value text into the field trips a false uninitialised-value
// warning of GCC 12 at -O3.
void ScanViewModel::setSearchQuery(const std::string& query) {
    searchQuery_.set(query);
}

void ScanViewModel::recountSelectedBytes() {
    selectedBytes_ = 0;
    for (const auto& id : selectedItemIDs_) {
        selectedBytes_ += sizeOf(id);
    }
}

std::int64_t ScanViewModel::sizeOf(const Uuid& id) const {
    const auto* item = itemsByID().find(id);
    return item != nullptr ? item->sizeInBytes : 0;
}

}  // namespace quillo
