#include "viewmodels/ItemSearchIndex.h"

#include <algorithm>

#include "text/SearchText.h"

namespace quillo {

std::size_t ItemSearchIndex::extend(const std::vector<CleanableItem>& items, std::size_t most) {
    const auto first = entries_.size();
    const auto end = first + std::min(most, items.size() - first);
    entries_.reserve(items.size());
    for (auto position = first; position < end; ++position) {
        const auto& item = items[position];
        Entry entry{};
        entry.nameStart = folded_.size();
        SearchText::appendFolded(folded_, item.displayName);
        entry.pathStart = folded_.size();
        SearchText::appendFolded(folded_, item.url.native());
        entry.end = folded_.size();
        entries_.push_back(entry);
    }
    // Room for the rest at the first slice's length per item, with a margin: growing a buffer of
    // megabytes by doubling copied it and touched fresh memory in the middle of later slices.
    if (first == 0 && end > 0 && end < items.size()) {
        folded_.reserve(folded_.size() / end * items.size() * 5 / 4);
    }
    return end - first;
}

std::vector<bool> ItemSearchIndex::matches(std::string_view query) const {
    const std::string_view folded = folded_;
    const auto contains = [&](std::size_t start, std::size_t end) {
        return folded.substr(start, end - start).find(query) != std::string_view::npos;
    };
    std::vector<bool> matching(entries_.size());
    for (std::size_t position = 0; position < entries_.size(); ++position) {
        const auto& entry = entries_[position];
        matching[position] =
            contains(entry.nameStart, entry.pathStart) || contains(entry.pathStart, entry.end);
    }
    return matching;
}

}  // namespace quillo
