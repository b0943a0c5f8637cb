#pragma once

#include <filesystem>
#include <vector>

#include "helper/HelperProtocol.h"
#include "model/DeletionReport.h"
#include "modules/CleaningEngine.h"
#include "modules/ModuleLocations.h"
#include "platform/ItemIdentity.h"

// How the helper decides which wishes it carries out. Every wish that is not is answered with a
// failure record and its reason.
namespace quillo {

/// A wish that names a known module and a path strictly below one of that module's roots.
struct CandidateWish {
    HelperWish wish;
    CleaningModuleID moduleID;
    std::filesystem::path root;
    /// A snapshot or the archived journals: found by path in the helper's own listing, no
    /// file identity to take.
    bool deletedByTool = false;
};

/// A wish the helper's own scan found: its item (under the wish's id) and its identity then.
struct MatchedWish {
    CleanableItem item;
    std::filesystem::path root;
    platform::ItemIdentity identity;
    bool deletedByTool = false;
};

template <class Kept>
struct Screening {
    std::vector<Kept> kept;
    std::vector<FailedFileRecord> refused;
};

/// Before any scan: refuses wishes of unknown modules, repeated ids, paths with "." or ".."
/// components or that are not absolute, and paths not strictly below a root of their module
/// unless they name what a tool deletes (`isDeletedByTool`).
Screening<CandidateWish> screenWishes(std::vector<HelperWish> wishes,
                                      const ModuleLocations& locations);

/// Keeps the candidates the scan `found` with the same module and path and that can be
/// identified below their root without a link or another file system; the rest are refused.
Screening<MatchedWish> matchWishes(const std::vector<CandidateWish>& candidates,
                                   const ScanResults& found);

/// Keeps the matches whose identity is still the one taken after the scan.
Screening<MatchedWish> recheckWishes(std::vector<MatchedWish> matches);

}  // namespace quillo
