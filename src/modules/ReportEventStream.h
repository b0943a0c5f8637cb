#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "model/DeletionReport.h"
#include "modules/CleaningModule.h"

namespace quillo {

/// Deletes a module's items as one step and yields the module's report.
using ReportOperation =
    std::function<void(support::CancellationToken, support::Completion<DeletionReport>)>;

/// The deletion stream of a module whose deletion yields only a final report:
/// `started`, then `finished` with the report, or the operation's error instead
/// of `finished`. The operation starts at once on `context`; a module that no
/// longer exists ends the stream without events.
support::EventStream<DeletionEvent> reportEventStream(std::weak_ptr<CleaningModule> module,
                                                      support::ExecutorRef context,
                                                      std::size_t itemCount,
                                                      ReportOperation operation);

}  // namespace quillo
