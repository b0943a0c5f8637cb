#pragma once

#include <memory>
#include <set>

#include "deletion/ReceiptStore.h"
#include "deletion/SecureDeletionService.h"
#include "helper/HelperExchange.h"
#include "modules/CleaningEngine.h"
#include "modules/SystemLogsActor.h"

namespace quillo {

struct ElevatedRun;

/// The application's side of the administrator helper: scans the system roots and deletes
/// items through `pkexec <helper>`, and keeps the receipts the helper sends in the user's own
/// store. A serialised object on `context`.
class HelperClient final : public std::enable_shared_from_this<HelperClient> {
  public:
    /// `keptPaths` (nothing kept without it) goes with every deletion request, so that the
    /// helper refuses what the user keeps. `retention` is asked afresh for each deletion and sent
    /// along for the journals' vacuum.
    static std::shared_ptr<HelperClient> create(
        HelperLaunch launch, SecureDeletionService::ModeProvider modeProvider,
        support::Provider<KeepList> keptPaths, std::shared_ptr<ReceiptStore> userStore,
        support::ExecutorRef context,
        LogRetentionProvider retention = fixedLogRetention(kDefaultLogRetentionDays));

    /// The helper's scan of the modules' system roots. Every item it finds carries
    /// `requiresElevatedPrivileges` and is not safe by default. Fails with a
    /// `HelperUnavailableError` when the helper cannot be asked or refuses.
    void scan(const std::set<CleaningModuleID>& modules, ScanDepth depth,
              support::Completion<ScanResults> done);

    /// Deletes `items` through the helper in the mode asked afresh for this run: per module
    /// started, then itemStarted and itemCompleted or itemFailed per item, then finished. Items
    /// the helper did not report on fail with the German reason why (no pkexec, no installed
    /// helper, dialog dismissed, authorisation refused). The receipts of removed items are in
    /// the user's store before the finished events; a store failure ends the stream with it.
    support::EventStream<DeletionEvent> deleteItems(CleanableItems items);

    HelperClient(HelperLaunch launch, SecureDeletionService::ModeProvider modeProvider,
                 support::Provider<KeepList> keptPaths, std::shared_ptr<ReceiptStore> userStore,
                 support::ExecutorRef context, LogRetentionProvider retention);

  private:
    void exchangeScan(const HelperScanRequest& request, support::Completion<ScanResults> done);
    void start(const std::shared_ptr<ElevatedRun>& run, DeletionMode mode, const KeepList& kept,
               int retentionDays);
    void conclude(const std::shared_ptr<ElevatedRun>& run, std::optional<support::Error> error);

    HelperLaunch launch_;
    SecureDeletionService::ModeProvider modeProvider_;
    support::Provider<KeepList> keptPaths_;
    std::shared_ptr<ReceiptStore> userStore_;
    support::ExecutorRef context_;
    LogRetentionProvider retention_;
};

}  // namespace quillo
