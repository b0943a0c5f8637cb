#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/CleanableItem.h"

namespace quillo {

/// The folded names and paths of one list of items, made once per scan result so that typing a
/// query does not fold every item again. All texts share one buffer. It can be made in slices,
/// so that a long list is ready before the first letter is typed without stalling anyone.
class ItemSearchIndex final {
  public:
    /// Folds up to `most` more of `items`, which must be the list folded so far; says how many.
    std::size_t extend(const std::vector<CleanableItem>& items, std::size_t most);
    [[nodiscard]] bool covers(const std::vector<CleanableItem>& items) const {
        return entries_.size() == items.size();
    }

    /// For each folded item in list order, whether its folded name or path contains `query`,
    /// which must be folded itself (SearchText::folded). A bit per item, not a position: a query
    /// that most items match then costs no list of positions as long as the items.
    [[nodiscard]] std::vector<bool> matches(std::string_view query) const;

  private:
    struct Entry {
        std::size_t nameStart;
        std::size_t pathStart;
        std::size_t end;
    };
    std::string folded_;
    std::vector<Entry> entries_;
};

}  // namespace quillo
