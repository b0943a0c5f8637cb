#pragma once

#include <cstddef>
#include <map>
#include <optional>

#include "model/DeletionEvent.h"

namespace quillo {

/// One started … finished sequence for each module whose items two streams delete (its own
/// and the administrator helper's): the first started passes with the module's whole count,
/// the second is dropped, and the finished events are held back and passed as one report once
/// both have come. Events of other modules pass unchanged.
class SplitModuleEvents final {
  public:
    /// The modules served by two streams, with their item counts.
    explicit SplitModuleEvents(const std::map<CleaningModuleID, std::size_t>& splitTotals);

    /// What to pass on for `event`: the event, a merged one, or nothing.
    std::optional<DeletionEvent> pass(DeletionEvent event);

  private:
    struct Module {
        std::size_t total = 0;
        bool announced = false;
        std::optional<DeletionReport> firstReport;
    };
    std::map<CleaningModuleID, Module> split_;
};

}  // namespace quillo
