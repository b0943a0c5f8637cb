#include "helper/WishMatching.h"

#include <map>
#include <set>
#include <utility>

#include "modules/ToolItems.h"
#include "platform/ItemIdentity.h"
#include "platform/PathText.h"

namespace quillo {

namespace {

constexpr char kUnknownModule[] = "Unbekanntes Modul: der Administrator-Helfer löscht hier nichts.";
constexpr char kRepeated[] = "Dieses Objekt wurde in derselben Anfrage mehrfach genannt.";
constexpr char kNotPlain[] = "Der Pfad ist nicht absolut oder enthält „.“ oder „..“.";
constexpr char kOutsideRoots[] = "Der Pfad liegt nicht in den Systemordnern dieses Moduls.";
constexpr char kNotFound[] =
    "Der Administrator-Helfer hat dieses Objekt bei seinem Scan nicht "
    "gefunden.";
constexpr char kChanged[] =
    "Das Objekt wurde seit dem Scan ersetzt, liegt hinter einem Link oder "
    "auf einem anderen Dateisystem.";

bool isPlainAbsolute(const std::string& path) {
    return path.starts_with('/') && !platform::hasDotComponent(platform::pathComponents(path));
}

}  // namespace

Screening<CandidateWish> screenWishes(std::vector<HelperWish> wishes,
                                      const ModuleLocations& locations) {
    Screening<CandidateWish> screening;
    std::set<Uuid> seen;
    for (auto& wish : wishes) {
        const auto refuse = [&](const char* reason) {
            screening.refused.push_back(FailedFileRecord{wish.id, reason});
        };
        if (!seen.insert(wish.id).second) {
            refuse(kRepeated);
            continue;
        }
        if (!wish.moduleID) {
            refuse(kUnknownModule);
            continue;
        }
        if (!isPlainAbsolute(wish.path)) {
            refuse(kNotPlain);
            continue;
        }
        const CleaningModuleID moduleID = *wish.moduleID;
        if (isDeletedByTool(locations, moduleID, wish.path)) {
            screening.kept.push_back(CandidateWish{std::move(wish), moduleID, {}, true});
            continue;
        }
        const auto roots = moduleRoots(locations, moduleID);
        const auto root = std::ranges::find_if(roots, [&](const std::filesystem::path& candidate) {
            return platform::componentsBelow(candidate.native(), wish.path).has_value();
        });
        if (root == roots.end()) {
            refuse(kOutsideRoots);
            continue;
        }
        screening.kept.push_back(CandidateWish{std::move(wish), moduleID, *root});
    }
    return screening;
}

Screening<MatchedWish> matchWishes(const std::vector<CandidateWish>& candidates,
                                   const ScanResults& found) {
    std::map<std::pair<CleaningModuleID, std::string>, const CleanableItem*> byPath;
    for (const auto& [moduleID, items] : found) {
        for (const auto& item : items) {
            byPath.emplace(std::pair{moduleID, item.url.native()}, &item);
        }
    }
    Screening<MatchedWish> screening;
    for (auto& candidate : candidates) {
        const auto item = byPath.find({candidate.moduleID, candidate.wish.path});
        if (item == byPath.end()) {
            screening.refused.push_back(FailedFileRecord{candidate.wish.id, kNotFound});
            continue;
        }
        CleanableItem matched = *item->second;
        matched.id = candidate.wish.id;
        if (candidate.deletedByTool) {
            // The tool is run with what the helper listed itself, never with the caller's text.
            screening.kept.push_back(MatchedWish{std::move(matched), {}, {}, true});
            continue;
        }
        const auto identity = platform::identityBelow(candidate.root, candidate.wish.path);
        if (!identity) {
            screening.refused.push_back(FailedFileRecord{candidate.wish.id, kChanged});
            continue;
        }
        screening.kept.push_back(MatchedWish{std::move(matched), candidate.root, *identity});
    }
    return screening;
}

Screening<MatchedWish> recheckWishes(std::vector<MatchedWish> matches) {
    Screening<MatchedWish> screening;
    for (auto& match : matches) {
        if (match.deletedByTool ||
            platform::identityBelow(match.root, match.item.url) == match.identity) {
            screening.kept.push_back(std::move(match));
        } else {
            screening.refused.push_back(FailedFileRecord{match.item.id, kChanged});
        }
    }
    return screening;
}

}  // namespace quillo
