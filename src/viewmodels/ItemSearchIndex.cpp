#include "viewmodels/ItemSearchIndex.h"

#include "text/SearchText.h"

namespace quillo {

ItemSearchIndex::ItemSearchIndex(const std::vector<CleanableItem>& items) {
    entries_.reserve(items.size());
    std::size_t length = 0;
    for (const auto& item : items) {
        length += item.displayName.size() + item.url.native().size();
    }
    folded_.reserve(length);
    for (const auto& item : items) {
        Entry entry{};
        entry.nameStart = folded_.size();
        SearchText::appendFolded(folded_, item.displayName);
        entry.pathStart = folded_.size();
        SearchText::appendFolded(folded_, item.url.native());
        entry.end = folded_.size();
        entries_.push_back(entry);
    }
}

std::vector<std::size_t> ItemSearchIndex::matches(std::string_view query) const {
    const std::string_view folded = folded_;
    const auto contains = [&](std::size_t start, std::size_t end) {
        return folded.substr(start, end - start).find(query) != std::string_view::npos;
    };
    std::vector<std::size_t> positions;
    for (std::size_t position = 0; position < entries_.size(); ++position) {
        const auto& entry = entries_[position];
        if (contains(entry.nameStart, entry.pathStart) || contains(entry.pathStart, entry.end)) {
            positions.push_back(position);
        }
    }
    return positions;
}

}  // namespace quillo
