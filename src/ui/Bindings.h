#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Observation.h"

namespace quillo::ui {

/// The one adapter from the models' change notifications to widget updates. A view keeps its
/// Bindings as its last member, so that no update reaches a half-destroyed view.
class Bindings {
  public:
    /// Calls `update` whenever one of `fields` of `model` changes.
    template <class Observable>
    void onChange(Observable& model, std::initializer_list<std::string_view> fields,
                  std::function<void()> update) {
        std::vector<std::string> names(fields.begin(), fields.end());
        subscriptions_.push_back(model.observe(
            [names = std::move(names), update = std::move(update)](std::string_view field) {
                if (std::find(names.begin(), names.end(), field) != names.end()) {
                    update();
                }
            }));
    }

    /// Calls `update` whenever anything of `model` changes.
    template <class Observable>
    void onAnyChange(Observable& model, std::function<void()> update) {
        subscriptions_.push_back(
            model.observe([update = std::move(update)](std::string_view) { update(); }));
    }

  private:
    std::vector<support::ChangeNotifier::Subscription> subscriptions_;
};

}  // namespace quillo::ui
