#include "platform/SystemdReminderService.h"

#include <system_error>
#include <utility>

#include "platform/AtomicFile.h"
#include "platform/SystemTool.h"
#include "platform/SystemdUnits.h"
#include "text/Text.h"

namespace quillo::platform {

namespace {

namespace fs = std::filesystem;
using Setup = SystemdReminderService::Setup;
using SetupRef = std::shared_ptr<const Setup>;
using Step = std::function<void(const support::Status&)>;

constexpr char kNotifier[] = "notify-send";

support::Error failure(std::string what) {
    return support::Error::make(ReminderServiceError(std::move(what)));
}

/// The files one request's units occupy in the unit folder.
struct UnitFiles {
    fs::path timer;
    fs::path service;
    /// Made by enabling the timer.
    fs::path wantsLink;

    UnitFiles(const fs::path& folder, std::string_view identifier)
        : timer(folder / SystemdUnits::timerName(identifier)),
          service(folder / SystemdUnits::serviceName(identifier)),
          wantsLink(folder / "timers.target.wants" / SystemdUnits::timerName(identifier)) {}

    [[nodiscard]] bool anyPresent() const {
        std::error_code error;
        return fs::exists(fs::symlink_status(timer, error)) ||
               fs::exists(fs::symlink_status(service, error)) ||
               fs::is_symlink(fs::symlink_status(wantsLink, error));
    }

    /// Removes the units and, where systemctl could not, the link to the timer; absent files are
    /// fine.
    [[nodiscard]] support::Status remove() const {
        std::error_code error;
        const bool linked = fs::is_symlink(fs::symlink_status(wantsLink, error));
        for (const auto* file : {&wantsLink, &timer, &service}) {
            if (file == &wantsLink && !linked) {
                continue;
            }
            fs::remove(*file, error);
            if (error) {
                return failure("Datei " + file->string() +
                               " konnte nicht entfernt werden: " + error.message());
            }
        }
        return support::Unit{};
    }
};

bool hasUsablePaths(const Setup& setup) {
    return setup.systemctl.is_absolute() && setup.unitFolder.is_absolute();
}

/// Runs "systemctl --user <arguments>"; `then` continues on the work context.
void systemctl(const SetupRef& setup, std::vector<std::string> arguments, Step then) {
    arguments.insert(arguments.begin(), "--user");
    std::string command = "systemctl";
    for (const auto& argument : arguments) {
        command += " " + argument;
    }
    runToolIgnoringOutput(
        setup->systemctl.native(), std::move(arguments),
        [context = setup->workContext, command = std::move(command),
         then = std::move(then)](const support::Status& ran) {
            support::Status outcome =
                ran ? ran : support::Status(failure(command + ": " + ran.error().description()));
            context->post([then, outcome = std::move(outcome)] { then(outcome); });
        });
}

template <class T>
void answer(const Setup& setup, support::Completion<T> done, support::Result<T> result) {
    if (done) {
        setup.mainExecutor->post(
            [done = std::move(done), result = std::move(result)] { done(result); });
    }
}

void checkAuthorization(const SetupRef& setup,
                        std::function<void(NotificationAuthorizationStatus)> then) {
    if (!hasUsablePaths(*setup) || setup->findProgram(kNotifier).empty()) {
        then(NotificationAuthorizationStatus::denied);
        return;
    }
    // show-environment answers whenever the user's manager does, also when it is degraded (a
    // failed unit of its own makes is-system-running fail, yet timers still run).
    systemctl(setup, {"show-environment"}, [then = std::move(then)](const support::Status& ran) {
        then(ran ? NotificationAuthorizationStatus::authorized
                 : NotificationAuthorizationStatus::denied);
    });
}

/// Stops, disables and deletes the units of `identifier`, then reloads; `then` hears the first
/// failure of deleting or reloading.
void removeUnits(const SetupRef& setup, const std::string& identifier, Step then) {
    const UnitFiles files(setup->unitFolder, identifier);
    // Nothing is ever added below a relative folder, and the working folder is nobody's.
    if (!setup->unitFolder.is_absolute() || !files.anyPresent()) {
        then(support::Unit{});
        return;
    }
    // A failed disable (the timer was never loaded, or the manager is gone) changes nothing:
    // the files go regardless and the reload makes the manager forget the units.
    systemctl(setup, {"disable", "--now", SystemdUnits::timerName(identifier)},
              [setup, files, then = std::move(then)](const support::Status&) {
                  auto removed = files.remove();
                  systemctl(setup, {"daemon-reload"},
                            [removed = std::move(removed), then](const support::Status& reloaded) {
                                then(removed ? reloaded : removed);
                            });
              });
}

void removeEach(const SetupRef& setup, std::vector<std::string> identifiers, std::size_t next,
                support::Status outcome, Step then) {
    while (next < identifiers.size() && !SystemdUnits::isUnitIdentifier(identifiers[next])) {
        ++next;
    }
    if (next == identifiers.size()) {
        then(outcome);
        return;
    }
    const std::string identifier = identifiers[next];
    removeUnits(setup, identifier,
                [setup, identifiers = std::move(identifiers), next, outcome = std::move(outcome),
                 then = std::move(then)](const support::Status& removed) mutable {
                    removeEach(setup, std::move(identifiers), next + 1, outcome ? removed : outcome,
                               std::move(then));
                });
}

support::Status writeUnits(const Setup& setup, const NotificationRequest& request,
                           const fs::path& notifier) {
    const UnitFiles files(setup.unitFolder, request.identifier);
    if (auto created = createFolders(setup.unitFolder); !created) {
        return created;
    }
    // The service first: a timer never names a service that is missing.
    if (auto written =
            writeFileAtomically(files.service, SystemdUnits::serviceUnit(request, notifier));
        !written) {
        return written;
    }
    return writeFileAtomically(files.timer, SystemdUnits::timerUnit(request));
}

/// Writes, reloads and enables; on a failure removes the units again before `then` hears it.
void installUnits(const SetupRef& setup, const NotificationRequest& request, const Step& then) {
    if (const auto problem = SystemdUnits::problemWith(request)) {
        then(failure(*problem));
        return;
    }
    if (!hasUsablePaths(*setup)) {
        then(failure("Kein systemctl oder kein absoluter Ordner für die systemd-Units"));
        return;
    }
    const auto notifier = setup->findProgram(kNotifier);
    if (notifier.empty()) {
        then(failure("notify-send wurde nicht gefunden"));
        return;
    }
    const auto undoAfter = [setup, identifier = request.identifier, then](support::Error cause) {
        removeUnits(setup, identifier,
                    [then, cause = std::move(cause)](const support::Status&) { then(cause); });
    };
    if (auto written = writeUnits(*setup, request, notifier); !written) {
        undoAfter(written.error());
        return;
    }
    const auto timer = SystemdUnits::timerName(request.identifier);
    systemctl(setup, {"daemon-reload"},
              [setup, timer, undoAfter, then](const support::Status& reloaded) {
                  if (!reloaded) {
                      undoAfter(reloaded.error());
                      return;
                  }
                  systemctl(setup, {"enable", "--now", timer},
                            [undoAfter, then](const support::Status& enabled) {
                                if (enabled) {
                                    then(enabled);
                                } else {
                                    undoAfter(enabled.error());
                                }
                            });
              });
}

}  // namespace

SystemdReminderService::SystemdReminderService(Setup setup)
    : setup_(std::make_shared<const Setup>(std::move(setup))),
      queue_(support::SerialQueue::create(setup_->workContext)) {}

void SystemdReminderService::getAuthorizationStatus(
    std::function<void(NotificationAuthorizationStatus)> done) {
    queue_->enqueue([setup = setup_,
                     done = std::move(done)](const support::SerialQueue::Finished& finished) {
        checkAuthorization(setup, [setup, done, finished](NotificationAuthorizationStatus status) {
            setup->mainExecutor->post([done, status] { done(status); });
            finished();
        });
    });
}

void SystemdReminderService::requestAuthorization(NotificationAuthorizationOptions /*options*/,
                                                  support::Completion<bool> done) {
    queue_->enqueue([setup = setup_,
                     done = std::move(done)](const support::SerialQueue::Finished& finished) {
        checkAuthorization(setup, [setup, done, finished](NotificationAuthorizationStatus status) {
            answer<bool>(*setup, done, status == NotificationAuthorizationStatus::authorized);
            finished();
        });
    });
}

void SystemdReminderService::removePendingRequests(std::vector<std::string> identifiers,
                                                   support::Completion<support::Unit> done) {
    queue_->enqueue([setup = setup_, identifiers = std::move(identifiers),
                     done = std::move(done)](const support::SerialQueue::Finished& finished) {
        removeEach(setup, identifiers, 0, support::Unit{},
                   [setup, done, finished](const support::Status& removed) {
                       answer<support::Unit>(*setup, done, removed);
                       finished();
                   });
    });
}

// Checked in the order the user can fix them: a missing program first, then the user's systemd.
void SystemdReminderService::unavailabilityReason(std::function<void(std::string)> done) {
    queue_->enqueue(
        [setup = setup_, done = std::move(done)](const support::SerialQueue::Finished& finished) {
            const auto tell = [setup, done, finished](std::string_view key) {
                setup->mainExecutor->post([done, reason = text::text(key)] { done(reason); });
                finished();
            };
            if (setup->findProgram(kNotifier).empty()) {
                tell("settings.reminder.unavailable.notifier");
                return;
            }
            if (!hasUsablePaths(*setup)) {
                tell("settings.reminder.unavailable.systemd");
                return;
            }
            systemctl(setup, {"show-environment"}, [tell](const support::Status& ran) {
                tell(ran ? "settings.reminder.unavailable.failed"
                         : "settings.reminder.unavailable.systemd");
            });
        });
}

void SystemdReminderService::add(NotificationRequest request,
                                 support::Completion<support::Unit> done) {
    queue_->enqueue([setup = setup_, request = std::move(request),
                     done = std::move(done)](const support::SerialQueue::Finished& finished) {
        installUnits(setup, request, [setup, done, finished](const support::Status& added) {
            answer<support::Unit>(*setup, done, added);
            finished();
        });
    });
}

}  // namespace quillo::platform
