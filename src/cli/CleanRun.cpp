#include "cli/CleanRun.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/ScanRun.h"
#include "model/SafeSelection.h"
#include "modules/ScanReport.h"
#include "support/Formatting.h"
#include "support/TextPieces.h"
#include "text/Text.h"
#include "viewmodels/DeleteViewModel.h"

namespace quillo::cli {

namespace {

struct ItemOutcome {
    CleanableItem item;
    std::optional<DeletedFileRecord> deleted;
    std::optional<FailedFileRecord> failed;
};

struct CleanOutcome {
    std::vector<ItemOutcome> items;
    std::vector<DeletionReport> reports;
    std::optional<support::Error> error;
};

CleanableItems safeSelection(const ScanSummary& summary) {
    CleanableItems chosen;
    for (const auto& module : summary.modules) {
        if (const auto found = summary.results.find(module.id); found != summary.results.end()) {
            for (const auto& item : found->second) {
                if (belongsToSafeSelection(item)) {
                    chosen.push_back(item);
                }
            }
        }
    }
    return chosen;
}

std::int64_t totalSize(const CleanableItems& items) {
    std::int64_t total = 0;
    for (const auto& item : items) {
        total += item.sizeInBytes;
    }
    return total;
}

std::string selectionLine(std::string_view key, const CleanableItems& items, DeletionMode mode) {
    return text::countFormat(key, static_cast<std::int64_t>(items.size()),
                             {itemCountText(items.size()),
                              support::formatByteCount(totalSize(items)), text::text(label(mode))});
}

bool isYes(const std::string& answer) {
    const auto word = support::asciiLowercased(support::trimmed(answer, " \t\r\n"));
    return word == "j" || word == "ja";
}

std::string itemLine(const ItemOutcome& outcome) {
    const auto path = outcome.item.url.string();
    if (outcome.deleted) {
        return text::format("cli.clean.line.deleted.format",
                            {path, support::formatByteCount(outcome.deleted->sizeInBytes)});
    }
    if (outcome.failed) {
        return text::format("cli.clean.line.failed.format", {path, outcome.failed->reason});
    }
    return text::format("cli.clean.line.planned.format",
                        {path, support::formatByteCount(outcome.item.sizeInBytes)});
}

nlohmann::ordered_json itemJSON(const ItemOutcome& outcome, bool planned) {
    auto json = scanItemJSON(outcome.item);
    if (outcome.deleted) {
        json["outcome"] = "deleted";
        json["receiptHash"] = outcome.deleted->receiptHash;
    } else if (outcome.failed) {
        json["outcome"] = "failed";
        json["reason"] = outcome.failed->reason;
    } else {
        json["outcome"] = planned ? "planned" : "notReported";
    }
    return json;
}

void printJSON(const std::vector<ItemOutcome>& outcomes, bool planned, std::ostream& out) {
    auto items = nlohmann::ordered_json::array();
    for (const auto& outcome : outcomes) {
        items.push_back(itemJSON(outcome, planned));
    }
    out << jsonText(items);
}

// Deletes through the engine; text lines are printed as the items go.
CleanOutcome deleteItems(const CleaningEngine& engine, const CleanableItems& items, bool json,
                         const CommandLineEnvironment& environment) {
    CleanOutcome outcome;
    std::map<Uuid, std::size_t> indexByID;
    for (const auto& item : items) {
        indexByID[item.id] = outcome.items.size();
        outcome.items.push_back({.item = item, .deleted = std::nullopt, .failed = std::nullopt});
    }
    const auto record = [&](const Uuid& id, auto&& store) {
        if (const auto found = indexByID.find(id); found != indexByID.end()) {
            auto& item = outcome.items[found->second];
            store(item);
            if (!json) {
                environment.out << itemLine(item) << '\n' << std::flush;
            }
        }
    };
    bool ended = false;
    auto events = engine.deleteItems(items);
    events.listen(
        environment.main,
        [&](const DeletionEvent& event) {
            if (const auto* completed = std::get_if<DeletionItemCompleted>(&event)) {
                record(completed->record.id,
                       [&](ItemOutcome& item) { item.deleted = completed->record; });
            } else if (const auto* failed = std::get_if<DeletionItemFailed>(&event)) {
                record(failed->record.id, [&](ItemOutcome& item) { item.failed = failed->record; });
            } else if (const auto* finished = std::get_if<DeletionFinished>(&event)) {
                outcome.reports.push_back(finished->report);
            }
        },
        [&](std::optional<support::Error> error) {
            outcome.error = std::move(error);
            ended = true;
        });
    environment.runUntil([&ended] { return ended; });
    return outcome;
}

}  // namespace

int runClean(const CleanRequest& request, const CommandLineEnvironment& environment) {
    const auto mode = request.mode.value_or(environment.settings.deletionMode());
    const auto engine = makeRunEngine(
        [main = environment.main, mode](const support::Completion<DeletionMode>& answer) {
            main->post([mode, answer] { answer(mode); });
        },
        chosenDepth(request.choice, environment.settings), environment);
    const auto summary = scanChosenModules(request.choice, *engine, environment);
    if (!summary) {
        return exitFailure;
    }
    const auto chosen = safeSelection(*summary);
    const bool json = request.choice.json;
    if (chosen.empty() || request.dryRun) {
        std::vector<ItemOutcome> planned;
        for (const auto& item : chosen) {
            planned.push_back({.item = item, .deleted = std::nullopt, .failed = std::nullopt});
        }
        if (json) {
            printJSON(planned, true, environment.out);
        } else if (chosen.empty()) {
            environment.out << text::text("cli.clean.nothing") << '\n';
        } else {
            for (const auto& item : planned) {
                environment.out << itemLine(item) << '\n';
            }
            environment.out << selectionLine("cli.clean.planned.format", chosen, mode) << '\n';
        }
        return exitSuccess;
    }
    if (!request.assumeYes) {
        environment.err << selectionLine("cli.clean.pending.format", chosen, mode) << '\n';
        const auto answer = environment.askTerminal(text::text("cli.clean.question"));
        if (!answer) {
            environment.err << text::text("cli.clean.needsYes") << '\n';
            return exitUsage;
        }
        if (!isYes(*answer)) {
            environment.err << text::text("cli.clean.declined") << '\n';
            return exitFailure;
        }
    }
    const auto outcome = deleteItems(*engine, chosen, json, environment);
    std::size_t deleted = 0;
    std::int64_t freed = 0;
    for (const auto& item : outcome.items) {
        if (item.deleted) {
            ++deleted;
            freed += item.deleted->sizeInBytes;
        }
    }
    if (json) {
        printJSON(outcome.items, false, environment.out);
    } else {
        environment.out << text::format("cli.clean.done.format",
                                        {itemCountText(deleted), support::formatByteCount(freed),
                                         itemCountText(outcome.items.size() - deleted)})
                        << '\n';
    }
    for (const auto& place : DeleteViewModel::receiptsSavedElsewhere(outcome.reports)) {
        environment.err << text::format(
                               "Die Löschbelege wurden in „%1$@“ gespeichert, weil „%2$@“ "
                               "nicht beschrieben werden konnte.",
                               {place.file.native(), place.receiptsFile.native()})
                        << '\n';
    }
    if (outcome.error) {
        environment.err << text::format("cli.clean.failed.format", {outcome.error->description()})
                        << '\n';
        return exitFailure;
    }
    return deleted == outcome.items.size() ? exitSuccess : exitFailure;
}

}  // namespace quillo::cli
