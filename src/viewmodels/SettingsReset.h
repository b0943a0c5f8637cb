#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "deletion/ReceiptStore.h"
#include "support/Executor.h"
#include "system/AppSettings.h"

namespace quillo {

/// "Alle Einstellungen zurücksetzen": every setting back to its default and every receipt
/// forgotten by the store itself, so that none is written back by the next deletion. `done`
/// runs on the main thread with nothing, or the German reason the receipts stayed.
void resetSettingsAndReceipts(AppSettings& settings, const std::shared_ptr<ReceiptStore>& store,
                              std::shared_ptr<support::MainExecutor> main,
                              std::function<void(std::optional<std::string>)> done);

}  // namespace quillo
