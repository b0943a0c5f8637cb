#include "modules/ReportEventStream.h"

namespace quillo {

support::EventStream<DeletionEvent> reportEventStream(std::weak_ptr<CleaningModule> module,
                                                      support::ExecutorRef context,
                                                      std::size_t itemCount,
                                                      ReportOperation operation) {
    return support::makeEventStream<DeletionEvent>(
        [&](const support::EventSink<DeletionEvent>& sink) {
            context->post(
                [module = std::move(module), itemCount, operation = std::move(operation), sink]() {
                    const auto owner = module.lock();
                    if (!owner) {
                        sink.finish();
                        return;
                    }
                    sink.yield(DeletionStarted{owner->id(), itemCount});
                    operation(sink.token(), [sink](support::Result<DeletionReport> report) {
                        if (!report) {
                            sink.finish(report.error());
                            return;
                        }
                        sink.yield(DeletionFinished{std::move(report).value()});
                        sink.finish();
                    });
                });
        });
}

}  // namespace quillo
