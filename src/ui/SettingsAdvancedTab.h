#pragma once

#include <QWidget>
#include <memory>

#include "deletion/ReceiptStore.h"
#include "support/Executor.h"
#include "system/AppSettings.h"
#include "ui/Bindings.h"

namespace quillo::ui {

class ToggleSwitch;

/// Whether onboarding counts as completed, and the reset of every setting and receipt.
class SettingsAdvancedTab final : public QWidget {
    Q_OBJECT

  public:
    SettingsAdvancedTab(AppSettings& settings, std::shared_ptr<ReceiptStore> receipts,
                        std::shared_ptr<support::MainExecutor> mainExecutor,
                        QWidget* parent = nullptr);

  private:
    /// Asks first: the receipts go too, and nothing brings them back.
    void confirmReset();

    AppSettings& settings_;
    std::shared_ptr<ReceiptStore> receipts_;
    std::shared_ptr<support::MainExecutor> mainExecutor_;
    ToggleSwitch* onboarding_ = nullptr;
    Bindings bindings_;
};

}  // namespace quillo::ui
