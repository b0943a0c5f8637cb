#pragma once

#include <QDialog>
#include <QObject>
#include <functional>
#include <memory>

#include "deletion/ReceiptStore.h"
#include "modules/CleaningEngine.h"
#include "modules/RootAccess.h"
#include "platform/NotificationService.h"
#include "support/ThreadPool.h"
#include "system/AppSettings.h"
#include "ui/ContentView.h"
#include "ui/SheetPresenter.h"
#include "viewmodels/DeleteViewModel.h"
#include "viewmodels/PrivacyAuditViewModel.h"
#include "viewmodels/ScanViewModel.h"
#include "viewmodels/UninstallViewModel.h"

namespace quillo::ui {

class QtMainExecutor;

/// What the application is built from; the defaults are this machine's, tests give fakes.
struct QuilloAppEnvironment {
    std::function<std::unique_ptr<AppSettings>()> makeSettings;
    /// The one store of the deletion receipts, which the engine fills and the reset empties.
    std::function<std::shared_ptr<ReceiptStore>(const std::shared_ptr<support::ThreadPool>& pool)>
        makeReceiptStore;
    /// The engine, given the settings it reads its mode and depth from at each use.
    std::function<std::shared_ptr<CleaningEngine>(
        AppSettings& settings, std::shared_ptr<ReceiptStore> receipts,
        const std::shared_ptr<support::MainExecutor>& main,
        const std::shared_ptr<support::ThreadPool>& pool)>
        makeEngine;
    std::function<std::shared_ptr<AppUninstallService>(
        AppSettings& settings, const std::shared_ptr<support::MainExecutor>& main,
        const std::shared_ptr<support::ThreadPool>& pool)>
        makeUninstallService;
    std::function<std::shared_ptr<PrivacyAuditService>(
        const std::shared_ptr<support::ThreadPool>& pool)>
        makePrivacyAuditService;
    std::function<bool()> isSandboxed;
    /// Asked once, when the window is made.
    std::function<std::vector<LeftOutRoot>()> leftOutRoots;
    OpenLocation openLocation;
    ReceiptExportActions exportActions;
    std::function<std::optional<std::filesystem::path>(QWidget*)> chooseApplication;
    /// Where the settings schedule the daily reminder.
    std::function<std::shared_ptr<NotificationService>(
        const std::shared_ptr<support::MainExecutor>& main,
        const std::shared_ptr<support::ThreadPool>& pool)>
        makeNotificationService;

    /// The user's defaults file, the default module set, the desktop's dialogs.
    static QuilloAppEnvironment standard();
};

/// The application: creates the long-lived objects once, in order, owns them for the life of
/// the process, and wires the main window, its menus and the first-run and legal sheets.
class QuilloApp final : public QObject {
    Q_OBJECT

  public:
    explicit QuilloApp(QuilloAppEnvironment environment);
    ~QuilloApp() override;

    void show();

    [[nodiscard]] AppSettings& settings() { return *settings_; }
    [[nodiscard]] ScanViewModel& scanViewModel() { return *scanViewModel_; }
    [[nodiscard]] DeleteViewModel& deleteViewModel() { return *deleteViewModel_; }
    [[nodiscard]] UninstallViewModel& uninstallViewModel() { return *uninstallViewModel_; }
    [[nodiscard]] PrivacyAuditViewModel& privacyAuditViewModel() { return *privacyAuditViewModel_; }
    [[nodiscard]] ContentView& window() { return *window_; }
    [[nodiscard]] QDialog* legalSheet() const { return legal_; }
    [[nodiscard]] QDialog* onboardingSheet() const { return onboarding_->sheet(); }
    [[nodiscard]] QWidget* settingsWindow() const { return settingsWindow_; }

    void showLegal();
    /// Opens the one settings window, or brings it to the front.
    void showSettings();

  private:
    void buildMenus();
    void acceptOnboarding();

    QuilloAppEnvironment environment_;
    std::shared_ptr<QtMainExecutor> mainExecutor_;
    std::shared_ptr<support::ThreadPool> pool_;
    std::unique_ptr<AppSettings> settings_;
    std::shared_ptr<ReceiptStore> receipts_;
    std::shared_ptr<CleaningEngine> engine_;
    std::unique_ptr<ScanViewModel> scanViewModel_;
    std::unique_ptr<DeleteViewModel> deleteViewModel_;
    std::unique_ptr<UninstallViewModel> uninstallViewModel_;
    std::unique_ptr<PrivacyAuditViewModel> privacyAuditViewModel_;
    std::unique_ptr<ContentView> window_;
    QPointer<QDialog> legal_;
    QPointer<QWidget> settingsWindow_;
    bool showingOnboarding_ = false;
    std::unique_ptr<SheetPresenter> onboarding_;
};

}  // namespace quillo::ui
