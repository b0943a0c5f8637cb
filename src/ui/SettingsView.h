#pragma once

#include <QTabWidget>
#include <memory>

#include "deletion/ReceiptStore.h"
#include "platform/NotificationService.h"
#include "support/Executor.h"
#include "system/AppSettings.h"
#include "ui/PlatformActions.h"

namespace quillo::ui {

/// What the settings reach beyond the settings themselves.
struct SettingsServices {
    OpenLocation openLocation;
    /// Where the daily reminder is scheduled and removed.
    std::shared_ptr<NotificationService> notifications;
    std::shared_ptr<support::MainExecutor> mainExecutor;
    /// Forgets every receipt when the user resets everything.
    std::shared_ptr<ReceiptStore> receipts;
};

/// The settings window's content: five tabs that edit `settings` in place and always show what
/// it holds. The window takes the title of the chosen tab.
class SettingsView final : public QTabWidget {
    Q_OBJECT

  public:
    SettingsView(AppSettings& settings, SettingsServices services, QWidget* parent = nullptr);
};

}  // namespace quillo::ui
