#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "helper/HelperProtocol.h"
#include "modules/DefaultModuleSet.h"

namespace quillo {

/// The administrator helper's answer to one request. It trusts nothing of the caller but module
/// ids, the mode, the wished paths and the keep-list (which only narrows them): it scans the system
/// roots of `services.locations` with the default modules itself and deletes only wished paths its
/// own scan found, through the same deletion service, with receipts kept in memory and sent back.
/// Everything runs on the contexts `services` makes.
class HelperService final : public std::enable_shared_from_this<HelperService> {
  public:
    /// Receives every answer line in order, on a context of `services`.
    using Respond = std::function<void(const HelperMessage&)>;
    /// Runs once the scan of a deletion request has ended and the wished items' identities have
    /// been taken, before they are compared again and deleted; tests change the tree here.
    using AfterScan = std::function<void()>;

    static std::shared_ptr<HelperService> create(DefaultModuleServices services, Respond respond,
                                                 AfterScan afterScan = {});

    /// Answers the request `line` (without its "\n"); `done` runs after the last message. Once
    /// per service.
    void answer(std::string_view line, std::function<void()> done);

    HelperService(DefaultModuleServices services, Respond respond, AfterScan afterScan);

  private:
    struct Deletion;

    std::shared_ptr<CleaningEngine> makeEngine(DeletionMode mode, ScanDepth depth,
                                               const KeepList& kept, int retentionDays);
    void scan(const HelperScanRequest& request, std::function<void()> done);
    void deleteWishes(HelperDeleteRequest request, std::function<void()> done);
    void deleteFound(const std::shared_ptr<Deletion>& deletion, const ScanResults& found);
    void sendReceipts(const std::shared_ptr<Deletion>& deletion,
                      std::optional<support::Error> error);
    [[nodiscard]] bool isBelowRoots(const CleanableItem& item) const;

    ModuleLocations locations_;
    DefaultModuleServices services_;
    Respond respond_;
    AfterScan afterScan_;
    std::shared_ptr<ReceiptStore> store_;
};

}  // namespace quillo
