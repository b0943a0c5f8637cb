#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

#include "modules/RootAccess.h"
#include "system/AppSettings.h"
#include "ui/Bindings.h"
#include "ui/PlatformActions.h"
#include "ui/ReceiptExportActions.h"
#include "ui/SheetPresenter.h"
#include "viewmodels/DeleteViewModel.h"
#include "viewmodels/PrivacyAuditViewModel.h"
#include "viewmodels/ScanViewModel.h"
#include "viewmodels/UninstallViewModel.h"

class QAction;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QToolButton;
class QTreeView;

namespace quillo::ui {

class ItemListModel;
class ModuleSidebarRow;

/// What the main window needs besides its view models.
struct ContentViewServices {
    std::function<bool()> isSandboxed;
    /// The root folders a scan of this process does not walk, for the start screen.
    std::vector<LeftOutRoot> leftOutRoots;
    OpenLocation openLocation;
    ReceiptExportActions exportActions;
    /// The application bundle the user picks for uninstalling, or nothing when cancelled.
    std::function<std::optional<std::filesystem::path>(QWidget* parent)> chooseApplication;
    /// Shows an item in the desktop's file manager; the inspector and the context menu offer it
    /// only when given.
    std::function<void(const std::filesystem::path&)> showInFileManager{};

    /// The desktop's file dialog, starting in "/Applications".
    static std::function<std::optional<std::filesystem::path>(QWidget*)>
    desktopApplicationChooser();
};

/// The main window: module sidebar, result list, inspector, the toolbar and the sheets of the
/// deletion flow. It only reads the view models and calls their operations.
class ContentView final : public QMainWindow {
    Q_OBJECT

  public:
    ContentView(ScanViewModel& scan, DeleteViewModel& deletion, UninstallViewModel& uninstall,
                PrivacyAuditViewModel& privacyAudit, AppSettings& settings,
                ContentViewServices services, QWidget* parent = nullptr);
    ~ContentView() override;

    [[nodiscard]] std::optional<CleaningModuleID> selectedModuleID() const {
        return selectedModuleID_;
    }
    void selectModule(std::optional<CleaningModuleID> moduleID);
    void selectItem(std::optional<Uuid> itemID);
    /// Starts the uninstall of the first dropped application bundle; false (the drop refused)
    /// when there is none.
    bool takeDroppedLocations(const std::vector<std::filesystem::path>& locations);
    [[nodiscard]] bool showingPrivacyAudit() const { return showingPrivacyAudit_; }
    void setShowingPrivacyAudit(bool showing);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildToolbar();
    void buildShortcuts();
    QWidget* buildSidebar();
    QWidget* buildContent();
    QWidget* buildDetail();

    void refreshTitle();
    void refreshToolbar();
    void refreshSidebar();
    void refreshContent();
    void refreshDetail();
    void refreshSheets();

    ScanViewModel& scan_;
    DeleteViewModel& deletion_;
    UninstallViewModel& uninstall_;
    PrivacyAuditViewModel& privacyAudit_;
    AppSettings& settings_;
    ContentViewServices services_;

    std::optional<CleaningModuleID> selectedModuleID_;
    std::optional<Uuid> selectedItemID_;
    bool showingPrivacyAudit_ = false;

    QAction* scanAction_ = nullptr;
    QAction* cancelAction_ = nullptr;
    QAction* deepScanAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* sidebar_ = nullptr;
    std::vector<std::pair<CleaningModuleID, ModuleSidebarRow*>> sidebarRows_;
    QStackedWidget* content_ = nullptr;
    QWidget* emptyState_ = nullptr;
    QTreeView* itemList_ = nullptr;
    ItemListModel* items_ = nullptr;
    QWidget* contentNotice_ = nullptr;
    QStackedWidget* detail_ = nullptr;

    std::unique_ptr<SheetPresenter> confirmationSheet_;
    std::unique_ptr<SheetPresenter> progressSheet_;
    std::unique_ptr<SheetPresenter> summarySheet_;
    std::unique_ptr<SheetPresenter> uninstallSheet_;
    std::unique_ptr<SheetPresenter> privacyAuditSheet_;
    Bindings bindings_;
};

}  // namespace quillo::ui
