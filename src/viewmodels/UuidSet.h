#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <type_traits>
#include <vector>

#include "model/Uuid.h"

namespace quillo {

/// A set of identifiers in one flat table: no allocation per element, so that selecting or
/// replacing a million items costs one array instead of a million nodes. Iteration follows the
/// table, in no particular order.
class UuidSet final {
  public:
    class const_iterator final {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Uuid;
        using difference_type = std::ptrdiff_t;
        using pointer = const Uuid*;
        using reference = const Uuid&;

        const_iterator() = default;
        reference operator*() const { return *set_->slots_[slot_]; }
        pointer operator->() const { return &*set_->slots_[slot_]; }
        const_iterator& operator++() {
            slot_ = set_->nextUsed(slot_ + 1);
            return *this;
        }
        const_iterator operator++(int) {
            auto before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const const_iterator&, const const_iterator&) = default;

      private:
        friend class UuidSet;
        const_iterator(const UuidSet* set, std::size_t slot) : set_(set), slot_(slot) {}
        const UuidSet* set_ = nullptr;
        std::size_t slot_ = 0;
    };
    using iterator = const_iterator;
    using value_type = Uuid;
    using size_type = std::size_t;

    UuidSet() = default;
    UuidSet(std::initializer_list<Uuid> ids) : UuidSet(ids.begin(), ids.end()) {}
    template <typename Iterator>
    UuidSet(Iterator first, Iterator last) {
        if constexpr (std::is_base_of_v<
                          std::forward_iterator_tag,
                          typename std::iterator_traits<Iterator>::iterator_category>) {
            reserve(static_cast<std::size_t>(std::distance(first, last)));
        }
        for (; first != last; ++first) {
            insert(*first);
        }
    }

    /// Room for `count` elements without growing the table again.
    void reserve(std::size_t count);
    /// Empties the set and keeps its table.
    void clear();
    /// Whether `id` was new.
    bool insert(const Uuid& id);
    /// How many were removed: 0 or 1.
    std::size_t erase(const Uuid& id);
    [[nodiscard]] bool contains(const Uuid& id) const;
    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] bool empty() const { return size_ == 0; }

    [[nodiscard]] const_iterator begin() const { return {this, nextUsed(0)}; }
    [[nodiscard]] const_iterator end() const { return {this, slots_.size()}; }

    friend bool operator==(const UuidSet& left, const UuidSet& right);

  private:
    /// The slot that holds `id`, or the free slot where it belongs; the table must not be empty.
    [[nodiscard]] std::size_t slotOf(const Uuid& id) const;
    [[nodiscard]] std::size_t nextUsed(std::size_t slot) const;
    void rehash(std::size_t slotCount);

    // Open addressing with linear probing, at most half full; an empty slot holds nothing.
    std::vector<std::optional<Uuid>> slots_;
    std::size_t size_ = 0;
};

}  // namespace quillo
