#include "support/Observation.h"

#include <algorithm>

namespace quillo::support {

ChangeNotifier::Subscription& ChangeNotifier::Subscription::operator=(
    Subscription&& other) noexcept {
    if (this != &other) {
        cancel();
        active_ = std::move(other.active_);
    }
    return *this;
}

void ChangeNotifier::Subscription::cancel() {
    if (const auto active = active_.lock()) {
        *active = false;
    }
    active_.reset();
}

ChangeNotifier::Subscription ChangeNotifier::observe(Observer observer) {
    auto active = std::make_shared<bool>(true);
    std::erase_if(entries_, [](const Entry& entry) { return !*entry.active; });
    entries_.push_back({std::move(observer), active});
    return Subscription(active);
}

void ChangeNotifier::changed(std::string_view field) {
    if (depth_ == 0) {
        notify(field);
        return;
    }
    if (std::find(pending_.begin(), pending_.end(), field) == pending_.end()) {
        pending_.emplace_back(field);
    }
}

void ChangeNotifier::endBatch() {
    if (--depth_ > 0) {
        return;
    }
    const auto fields = std::exchange(pending_, {});
    for (const auto& field : fields) {
        notify(field);
    }
}

void ChangeNotifier::notify(std::string_view field) {
    // Observers may subscribe or cancel while being told; work on a snapshot and skip the
    // ones cancelled meanwhile.
    const auto snapshot = entries_;
    for (const auto& entry : snapshot) {
        if (*entry.active) {
            entry.observer(field);
        }
    }
}

}  // namespace quillo::support
