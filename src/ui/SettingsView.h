#pragma once

#include <QTabWidget>
#include <memory>

#include "deletion/ReceiptStore.h"
#include "platform/NotificationService.h"
#include "support/Executor.h"
#include "system/AppSettings.h"
#include "ui/PlatformActions.h"
#include "ui/SettingsKeepListTab.h"

namespace quillo::ui {

/// What the settings reach beyond the settings themselves.
struct SettingsServices {
    OpenLocation openLocation;
    /// Where the daily reminder is scheduled and removed.
    std::shared_ptr<NotificationService> notifications;
    std::shared_ptr<support::MainExecutor> mainExecutor;
    /// Forgets every receipt when the user resets everything.
    std::shared_ptr<ReceiptStore> receipts;
    /// Where the keep-list's paths and patterns come from.
    ChooseKeptPath chooseKeptPath = desktopKeptPathChooser();
};

/// The settings window's content: six tabs that edit `settings` in place and always show what
/// it holds. The window is titled once for all tabs
/// and closes on Escape and the platform's close keys.
class SettingsView final : public QTabWidget {
    Q_OBJECT

  public:
    SettingsView(AppSettings& settings, SettingsServices services, QWidget* parent = nullptr);
};

}  // namespace quillo::ui
