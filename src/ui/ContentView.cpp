#include "ui/ContentView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <array>

#include "platform/StandardDirectories.h"
#include "text/SearchText.h"
#include "ui/ConfirmationSheet.h"
#include "ui/ItemInspector.h"
#include "ui/ItemListModel.h"
#include "ui/ItemRowDelegate.h"
#include "ui/ModuleSidebarRow.h"
#include "ui/Notice.h"
#include "ui/PrivacyAuditSheet.h"
#include "ui/ProgressSheet.h"
#include "ui/QtText.h"
#include "ui/ResultListPage.h"
#include "ui/ScanEmptyState.h"
#include "ui/Style.h"
#include "ui/SummarySheet.h"
#include "ui/Symbols.h"
#include "ui/UninstallSheet.h"
#include "uninstall/BundleDrop.h"

namespace quillo::ui {

namespace {

enum ContentPage { emptyStatePage, listPage, noticePage };
enum DetailPage { inspectorPage, noSelectionPage };

// A module the last scan did not cover has not found nothing: it did not look; nor has one
// whose items the search hides.
QString moduleNoticeText(const ScanViewModel& scan, CleaningModuleID module, bool scanning) {
    if (scanning) {
        return catalogueText("content.placeholder.scanrunning");
    }
    const auto results = scan.resultsByModule().find(module);
    if (results == scan.resultsByModule().end()) {
        return catalogueText("content.placeholder.notscanned");
    }
    if (!results->second.empty()) {
        return catalogueFormat("content.placeholder.nomatches.format",
                               {std::string(SearchText::trimmed(scan.searchQuery()))});
    }
    return catalogueText("content.placeholder.moduleempty");
}

template <class Phase, class Variant>
const Phase* phaseAs(const Variant& phase) {
    return std::get_if<Phase>(&phase);
}

/// Swaps the widget at `page` of `stack` for `replacement`.
void replacePage(QStackedWidget* stack, int page, QWidget* replacement) {
    QWidget* old = stack->widget(page);
    stack->insertWidget(page, replacement);
    stack->removeWidget(old);
    old->deleteLater();
}

}  // namespace

ContentView::ContentView(ScanViewModel& scan, DeleteViewModel& deletion,
                         UninstallViewModel& uninstall, PrivacyAuditViewModel& privacyAudit,
                         AppSettings& settings, ContentViewServices services, QWidget* parent)
    : QMainWindow(parent),
      scan_(scan),
      deletion_(deletion),
      uninstall_(uninstall),
      privacyAudit_(privacyAudit),
      settings_(settings),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("contentView"));
    setMinimumSize(900, 560);
    resize(1180, 720);
    setUnifiedTitleAndToolBarOnMac(true);
    setAcceptDrops(true);
    buildToolbar();
    buildShortcuts();

    auto* columns = new QSplitter;
    columns->setChildrenCollapsible(false);
    columns->addWidget(buildSidebar());
    columns->addWidget(buildContent());
    columns->addWidget(buildDetail());
    columns->setStretchFactor(0, 0);
    columns->setStretchFactor(1, 1);
    columns->setStretchFactor(2, 0);
    columns->setSizes({260, 600, 320});
    setCentralWidget(columns);

    confirmationSheet_ = std::make_unique<SheetPresenter>(
        this, [this] { return new ConfirmationSheet(deletion_, [this] { deletion_.confirm(); }); },
        [this] { deletion_.reset(); });
    progressSheet_ = std::make_unique<SheetPresenter>(
        this, [this] { return new ProgressSheet([this] { deletion_.stopDeletion(); }); });
    const auto finishSummary = [this] {
        const auto* summary = phaseAs<DeleteViewModel::Summary>(deletion_.phase());
        if (summary != nullptr) {
            scan_.removeDeletedItems(DeleteViewModel::deletedItemIDs(summary->reports));
        }
        deletion_.reset();
    };
    summarySheet_ = std::make_unique<SheetPresenter>(
        this,
        [this, finishSummary] {
            const auto& summary = std::get<DeleteViewModel::Summary>(deletion_.phase());
            auto* sheet = new SummarySheet(summary.reports, finishSummary, services_.exportActions);
            if (summary.stopped) {
                sheet->markStopped();
            }
            return sheet;
        },
        finishSummary);
    uninstallSheet_ = std::make_unique<SheetPresenter>(
        this, [this] { return new UninstallSheet(uninstall_, services_.chooseApplication); },
        [this] { uninstall_.reset(); });
    privacyAuditSheet_ = std::make_unique<SheetPresenter>(
        this, [this] { return new PrivacyAuditSheet(privacyAudit_, services_.openLocation); },
        [this] { setShowingPrivacyAudit(false); });

    refreshTitle();
    refreshToolbar();
    refreshSidebar();
    refreshContent();
    refreshDetail();

    bindings_.onChange(scan_, {"phase"}, [this] {
        refreshTitle();
        refreshToolbar();
        refreshSidebar();
        refreshContent();
    });
    bindings_.onChange(scan_, {"resultsByModule", "searchQuery"}, [this] {
        refreshTitle();
        items_->reload();
        refreshSidebar();
        refreshContent();
        refreshDetail();
    });
    bindings_.onChange(scan_, {"selectedItemIDs"}, [this] {
        refreshTitle();
        refreshToolbar();
        const QRect shown = itemList_->viewport()->rect();
        const QModelIndex top = itemList_->indexAt(shown.topLeft());
        const QModelIndex bottom = itemList_->indexAt(shown.bottomLeft());
        items_->selectionChanged(top.row(),
                                 bottom.isValid() ? bottom.row() : items_->rowCount() - 1);
    });
    bindings_.onChange(deletion_, {"phase"}, [this] {
        refreshToolbar();
        refreshSheets();
    });
    bindings_.onChange(uninstall_, {"phase"}, [this] {
        uninstallSheet_->setShown(
            !std::holds_alternative<UninstallViewModel::Idle>(uninstall_.phase()));
    });
    bindings_.onChange(settings_, {"deepScanEnabled"}, [this] { refreshToolbar(); });
    bindings_.onChange(settings_, {"keptPaths"}, [this] { scan_.leaveOutKept(); });
    bindings_.onChange(settings_, {"itemSortOrder"}, [this] {
        items_->reload();
        selectItem(selectedItemID_);
    });
    bindings_.onChange(settings_, {"disabledModuleIDs", "fullDiskAccessStatus"}, [this] {
        refreshSidebar();
        refreshContent();
    });
}

ContentView::~ContentView() = default;

namespace {

/// "/Applications", else the user's own applications folder, else the home folder: Linux
/// systems rarely have the first.
std::filesystem::path applicationChooserFolder() {
    std::filesystem::path home = platform::homeFolder();
    for (const auto& folder : {std::filesystem::path("/Applications"), home / "Applications"}) {
        std::error_code error;
        if (std::filesystem::is_directory(folder, error)) {
            return folder;
        }
    }
    return home;
}

}  // namespace

std::function<std::optional<std::filesystem::path>(QWidget*)>
ContentViewServices::desktopApplicationChooser() {
    return [](QWidget* parent) -> std::optional<std::filesystem::path> {
        // Bundles are folders to the file system; the dialog lets only those ending in .app
        // be chosen.
        QFileDialog dialog(parent, catalogueText("content.toolbar.uninstall"),
                           qtString(applicationChooserFolder().string()));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        const std::filesystem::path chosen = stdString(dialog.selectedFiles().front());
        const std::array candidates{chosen};
        return firstDroppedApplication(candidates).value_or(chosen);
    };
}

namespace {

std::vector<std::filesystem::path> droppedLocations(const QMimeData* data) {
    std::vector<std::filesystem::path> locations;
    for (const auto& url : data->urls()) {
        if (url.isLocalFile()) {
            locations.emplace_back(stdString(url.toLocalFile()));
        }
    }
    return locations;
}

}  // namespace

void ContentView::dragEnterEvent(QDragEnterEvent* event) {
    if (firstDroppedApplication(droppedLocations(event->mimeData()))) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ContentView::dropEvent(QDropEvent* event) {
    if (takeDroppedLocations(droppedLocations(event->mimeData()))) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ContentView::setShowingPrivacyAudit(bool showing) {
    showingPrivacyAudit_ = showing;
    privacyAuditSheet_->setShown(showing);
}

bool ContentView::takeDroppedLocations(const std::vector<std::filesystem::path>& locations) {
    const auto application = firstDroppedApplication(locations);
    if (application) {
        uninstall_.prepare(*application);
    }
    return application.has_value();
}

void ContentView::buildToolbar() {
    auto* toolbar = addToolBar(catalogueText("content.sidebar.title"));
    toolbar->setObjectName(QStringLiteral("mainToolbar"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    scanAction_ =
        toolbar->addAction(symbolIcon("magnifyingglass"), catalogueText("content.toolbar.scan"),
                           [this] { scan_.startScan(); });
    scanAction_->setObjectName(QStringLiteral("scanAction"));
    cancelAction_ =
        toolbar->addAction(symbolIcon("stop.fill"), catalogueText("content.toolbar.cancel"),
                           [this] { scan_.cancelScan(); });
    cancelAction_->setObjectName(QStringLiteral("cancelAction"));

    deepScanAction_ = toolbar->addAction(catalogueText("content.toolbar.deepScan"));
    deepScanAction_->setObjectName(QStringLiteral("deepScanAction"));
    deepScanAction_->setCheckable(true);
    deepScanAction_->setToolTip(catalogueText("content.toolbar.deepScan.help"));
    connect(deepScanAction_, &QAction::toggled, this,
            [this](bool on) { settings_.setDeepScanEnabled(on); });

    auto* selection = new QToolButton;
    selection->setText(catalogueText("content.toolbar.selection"));
    selection->setIcon(symbolIcon("checkmark.circle"));
    selection->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    selection->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(selection);
    menu->addAction(catalogueText("content.toolbar.selectSafe"), [this] { scan_.selectSafe(); });
    menu->addAction(catalogueText("content.toolbar.selectAll"), [this] { scan_.selectAll(); });
    menu->addSeparator();
    menu->addAction(catalogueText("content.toolbar.clearSelection"),
                    [this] { scan_.clearSelection(); });
    selection->setMenu(menu);
    toolbar->addWidget(selection);

    auto* uninstallAction =
        toolbar->addAction(symbolIcon("xmark.bin"), catalogueText("content.toolbar.uninstall"),
                           [this] { uninstall_.showApplications(); });
    uninstallAction->setObjectName(QStringLiteral("uninstallAction"));
    uninstallAction->setToolTip(catalogueText("content.toolbar.uninstall.help"));

    auto* privacyAuditAction =
        toolbar->addAction(symbolIcon("hand.raised"), catalogueText("content.toolbar.privacyAudit"),
                           [this] { setShowingPrivacyAudit(true); });
    privacyAuditAction->setObjectName(QStringLiteral("privacyAuditAction"));
    privacyAuditAction->setToolTip(catalogueText("content.toolbar.privacyAudit.help"));

    deleteAction_ = toolbar->addAction(
        symbolIcon("trash"), {}, [this] { deletion_.prepareDeletion(scan_.selectedItems()); });
    deleteAction_->setObjectName(QStringLiteral("deleteAction"));

    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("searchField"));
    search_->setPlaceholderText(catalogueText("content.search.prompt"));
    search_->setClearButtonEnabled(true);
    search_->setFixedWidth(220);
    connect(search_, &QLineEdit::textChanged, this,
            [this](const QString& query) { scan_.setSearchQuery(stdString(query)); });
    toolbar->addWidget(search_);
}

// Delete asks to confirm the selection like the toolbar's button; Escape empties the search
// field first. A focused search field keeps both keys for its own editing.
void ContentView::buildShortcuts() {
    auto* deleteKey = new QShortcut(QKeySequence::Delete, this);
    connect(deleteKey, &QShortcut::activated, this, [this] {
        if (deleteAction_->isEnabled()) {
            deleteAction_->trigger();
        }
    });
    auto* escapeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escapeKey, &QShortcut::activated, this, [this] {
        if (!search_->text().isEmpty()) {
            search_->clear();
        }
    });
}

QWidget* ContentView::buildSidebar() {
    auto* column = new QWidget;
    column->setMinimumWidth(220);
    column->setMaximumWidth(320);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(8, 8, 0, 8);
    layout->addWidget(makeLabel(catalogueText("content.sidebar.title"), TextStyle::subheadline,
                                true, colors::secondary()));
    sidebar_ = new QListWidget;
    sidebar_->setObjectName(QStringLiteral("moduleSidebar"));
    sidebar_->setFrameShape(QFrame::NoFrame);
    connect(sidebar_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || static_cast<std::size_t>(row) >= sidebarRows_.size()) {
            return;
        }
        const auto moduleID = sidebarRows_[static_cast<std::size_t>(row)].first;
        if (selectedModuleID_ != moduleID) {
            selectModule(moduleID);
        }
    });
    layout->addWidget(sidebar_);
    return column;
}

QWidget* ContentView::buildContent() {
    content_ = new QStackedWidget;
    content_->setMinimumWidth(380);
    emptyState_ = new ScanEmptyState(
        scan_, settings_, services_.isSandboxed, services_.leftOutRoots,
        [this] { scan_.startScan(); }, services_.openLocation);
    content_->insertWidget(emptyStatePage, emptyState_);

    items_ = new ItemListModel(scan_, this);
    itemList_ = new QTreeView;
    itemList_->setObjectName(QStringLiteral("itemList"));
    itemList_->setModel(items_);
    itemList_->setRootIsDecorated(false);
    itemList_->setUniformRowHeights(true);
    itemList_->setAlternatingRowColors(true);
    itemList_->setHeaderHidden(true);
    itemList_->setItemDelegateForColumn(ItemListModel::itemColumn, new ItemRowDelegate(itemList_));
    itemList_->header()->setStretchLastSection(false);
    itemList_->header()->setSectionResizeMode(ItemListModel::itemColumn, QHeaderView::Stretch);
    itemList_->header()->setSectionResizeMode(ItemListModel::warningColumn, QHeaderView::Fixed);
    itemList_->header()->resizeSection(ItemListModel::warningColumn, 28);
    itemList_->header()->setSectionResizeMode(ItemListModel::sizeColumn, QHeaderView::Fixed);
    itemList_->header()->resizeSection(ItemListModel::sizeColumn, 96);
    connect(itemList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                const auto* item = items_->itemAt(current.row());
                selectedItemID_ = item != nullptr ? std::optional(item->id) : std::nullopt;
                refreshDetail();
            });
    content_->insertWidget(
        listPage, makeResultListPage(
                      itemList_, *items_, settings_,
                      {.keep =
                           [this](const CleanableItem& item) {
                               // The list drops the item once the keep-list has it.
                               const auto added = settings_.addKeptPath(item.url.native());
                               if (!added) {
                                   QMessageBox::warning(this, catalogueText("content.item.keep"),
                                                        qtString(added.error().description()));
                               }
                           },
                       .showInFileManager = services_.showInFileManager}));
    contentNotice_ = new QWidget;
    content_->insertWidget(noticePage, contentNotice_);
    return content_;
}

QWidget* ContentView::buildDetail() {
    detail_ = new QStackedWidget;
    detail_->setMinimumWidth(260);
    detail_->insertWidget(inspectorPage, new QWidget);
    detail_->insertWidget(
        noSelectionPage,
        new Notice("info.circle", catalogueText("content.placeholder.noselection.title"),
                   catalogueText("content.placeholder.noselection.body")));
    return detail_;
}

void ContentView::selectModule(std::optional<CleaningModuleID> moduleID) {
    selectedModuleID_ = moduleID;
    selectedItemID_.reset();
    items_->showModule(moduleID);
    refreshSidebar();
    refreshContent();
    refreshDetail();
}

void ContentView::selectItem(std::optional<Uuid> itemID) {
    const auto row = itemID ? items_->rowOf(*itemID) : std::nullopt;
    if (row) {
        itemList_->setCurrentIndex(items_->index(*row, ItemListModel::itemColumn));
    } else {
        itemList_->setCurrentIndex({});
    }
    selectedItemID_ = row ? itemID : std::nullopt;
    refreshDetail();
}

void ContentView::refreshTitle() {
    setWindowTitle(QStringLiteral("Quillo — ") + qtString(scan_.subtitle()));
}

void ContentView::refreshToolbar() {
    const bool scanning = phaseAs<ScanViewModel::Scanning>(scan_.phase()) != nullptr;
    scanAction_->setVisible(!scanning);
    cancelAction_->setVisible(scanning);
    const bool deep = settings_.deepScanEnabled();
    deepScanAction_->setChecked(deep);
    deepScanAction_->setIcon(symbolIcon(deep ? "scope" : "magnifyingglass.circle"));
    deleteAction_->setText(catalogueFormat("content.toolbar.delete.format",
                                           {stdString(byteCountText(scan_.selectedBytes()))}));
    const bool idle = phaseAs<DeleteViewModel::Idle>(deletion_.phase()) != nullptr;
    deleteAction_->setEnabled(scan_.hasSelectedItems() && idle);
}

void ContentView::refreshSidebar() {
    const auto enabled = scan_.enabledDescriptors();
    const bool sameModules = enabled.size() == sidebarRows_.size() &&
                             std::equal(enabled.begin(), enabled.end(), sidebarRows_.begin(),
                                        [](const auto& descriptor, const auto& row) {
                                            return descriptor.id == row.first;
                                        });
    if (!sameModules) {
        const QSignalBlocker blocker(sidebar_);
        sidebar_->clear();
        sidebarRows_.clear();
        for (const auto& descriptor : enabled) {
            auto* item = new QListWidgetItem(sidebar_);
            auto* row = new ModuleSidebarRow(descriptor);
            item->setSizeHint(row->sizeHint());
            sidebar_->setItemWidget(item, row);
            sidebarRows_.emplace_back(descriptor.id, row);
        }
    }
    const bool scanning = phaseAs<ScanViewModel::Scanning>(scan_.phase()) != nullptr;
    const auto& bytes = scan_.bytesPerModule();
    for (std::size_t index = 0; index < enabled.size(); ++index) {
        const auto found = bytes.find(enabled[index].id);
        std::optional<ModuleSidebarRow::Unavailability> unavailability;
        if (!scan_.isAvailable(enabled[index])) {
            unavailability = services_.isSandboxed() ? ModuleSidebarRow::Unavailability::sandbox
                                                     : ModuleSidebarRow::Unavailability::access;
        }
        sidebarRows_[index].second->show(found == bytes.end() ? 0 : found->second, scanning,
                                         unavailability);
    }
    const QSignalBlocker blocker(sidebar_);
    int current = -1;
    for (std::size_t index = 0; index < sidebarRows_.size(); ++index) {
        if (sidebarRows_[index].first == selectedModuleID_) {
            current = static_cast<int>(index);
        }
    }
    sidebar_->setCurrentRow(current);
}

void ContentView::refreshContent() {
    const bool scanning = phaseAs<ScanViewModel::Scanning>(scan_.phase()) != nullptr;
    if (scan_.cachedAllItems().empty() && !scanning) {
        content_->setCurrentIndex(emptyStatePage);
        return;
    }
    if (selectedModuleID_ && items_->rowCount() > 0) {
        content_->setCurrentIndex(listPage);
        return;
    }
    QWidget* notice =
        selectedModuleID_
            ? new Notice("tray", catalogueText("content.placeholder.noresults.title"),
                         moduleNoticeText(scan_, *selectedModuleID_, scanning))
            : new Notice("sidebar.left", catalogueText("content.placeholder.pickmodule.title"),
                         catalogueText("content.placeholder.pickmodule.body"));
    replacePage(content_, noticePage, notice);
    contentNotice_ = notice;
    content_->setCurrentIndex(noticePage);
}

void ContentView::refreshDetail() {
    const CleanableItem* item =
        selectedItemID_ ? scan_.itemsByID().find(*selectedItemID_) : nullptr;
    if (item == nullptr) {
        detail_->setCurrentIndex(noSelectionPage);
        return;
    }
    replacePage(detail_, inspectorPage, new ItemInspector(*item, services_.showInFileManager));
    detail_->setCurrentIndex(inspectorPage);
}

void ContentView::refreshSheets() {
    const auto& phase = deletion_.phase();
    confirmationSheet_->setShown(phaseAs<DeleteViewModel::Confirming>(phase) != nullptr);
    const auto* deleting = phaseAs<DeleteViewModel::Deleting>(phase);
    progressSheet_->setShown(deleting != nullptr);
    if (deleting != nullptr) {
        static_cast<ProgressSheet*>(progressSheet_->sheet())->show(*deleting);
    }
    summarySheet_->setShown(phaseAs<DeleteViewModel::Summary>(phase) != nullptr);
}

}  // namespace quillo::ui
