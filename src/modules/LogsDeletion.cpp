#include "modules/LogsDeletion.h"

#include <memory>
#include <utility>

namespace quillo {

namespace {

constexpr auto kModule = CleaningModuleID::systemLogs;

/// One run, touched only on the module's context.
struct Run : std::enable_shared_from_this<Run> {
    Run(LogsDeletion deletion, CleanableItems journalItems, CleanableItems fileItems,
        support::EventSink<DeletionEvent> sink)
        : deletion(std::move(deletion)),
          journalItems(std::move(journalItems)),
          fileItems(std::move(fileItems)),
          sink(std::move(sink)) {
        report.moduleID = kModule;
        report.startedAt = this->deletion.now();
    }

    void start() {
        sink.yield(DeletionStarted{kModule, journalItems.size() + fileItems.size()});
        deletion.retentionDays([self = shared_from_this()](int days) {
            self->deletion.context->post([self, days] { self->vacuumNext(days); });
        });
    }

    void vacuumNext(int days) {
        if (sink.token().isCancelled()) {
            sink.finish(support::Error::cancelled());
            return;
        }
        if (next == journalItems.size()) {
            deleteFiles();
            return;
        }
        const auto& item = journalItems[next];
        sink.yield(DeletionItemStarted{kModule, item});
        deletion.vacuum(days, [self = shared_from_this(), days](support::Status vacuumed) {
            self->deletion.context->post([self, days, vacuumed = std::move(vacuumed)] {
                self->record(vacuumed, days);
                self->vacuumNext(days);
            });
        });
    }

    void record(const support::Status& vacuumed, int days) {
        const auto& item = journalItems[next++];
        if (vacuumed) {
            DeletedFileRecord done{item.id, item.sizeInBytes,
                                   "journal-" + journalVacuumArguments(days).front().substr(2)};
            report.succeeded.push_back(done);
            sink.yield(DeletionItemCompleted{kModule, std::move(done)});
        } else {
            FailedFileRecord failed{item.id, vacuumed.error().description()};
            report.failed.push_back(failed);
            sink.yield(DeletionItemFailed{kModule, std::move(failed)});
        }
    }

    void deleteFiles() {
        if (fileItems.empty()) {
            finish();
            return;
        }
        files.emplace(deletion.deleteFiles(std::move(fileItems)));
        files->listen(
            deletion.context,
            [self = shared_from_this()](DeletionEvent event) {
                if (self->sink.token().isCancelled()) {
                    // Dropping the files' stream cancels the deletion service's run too.
                    self->files.reset();
                    self->sink.finish(support::Error::cancelled());
                    return;
                }
                if (auto* finished = std::get_if<DeletionFinished>(&event)) {
                    self->merge(std::move(finished->report));
                } else if (!std::holds_alternative<DeletionStarted>(event)) {
                    self->sink.yield(std::move(event));
                }
            },
            [self = shared_from_this()](std::optional<support::Error> error) {
                self->files.reset();
                if (self->sink.token().isCancelled()) {
                    error = support::Error::cancelled();
                }
                if (error) {
                    self->sink.finish(std::move(error));
                } else {
                    self->finish();
                }
            });
    }

    void merge(DeletionReport files) {
        std::ranges::move(files.succeeded, std::back_inserter(report.succeeded));
        std::ranges::move(files.failed, std::back_inserter(report.failed));
        report.receiptsSavedElsewhere = files.receiptsSavedElsewhere;
    }

    void finish() {
        report.completedAt = deletion.now();
        sink.yield(DeletionFinished{std::move(report)});
        sink.finish();
    }

    LogsDeletion deletion;
    CleanableItems journalItems;
    CleanableItems fileItems;
    support::EventSink<DeletionEvent> sink;
    std::size_t next = 0;
    DeletionReport report;
    std::optional<support::EventStream<DeletionEvent>> files;
};

}  // namespace

support::EventStream<DeletionEvent> deleteLogsWithJournals(LogsDeletion deletion,
                                                           CleanableItems journalItems,
                                                           CleanableItems fileItems) {
    return support::makeEventStream<DeletionEvent>(
        [&](const support::EventSink<DeletionEvent>& sink) {
            auto run = std::make_shared<Run>(std::move(deletion), std::move(journalItems),
                                             std::move(fileItems), sink);
            run->deletion.context->post([run] { run->start(); });
        });
}

}  // namespace quillo
