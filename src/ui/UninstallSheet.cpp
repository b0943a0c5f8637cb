#include "ui/UninstallSheet.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/ItemListModel.h"
#include "ui/ItemRowDelegate.h"
#include "ui/ProgressSheet.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/Symbols.h"

namespace quillo::ui {

namespace {

constexpr int kItemIDRole = Qt::UserRole + 2;

QPushButton* makeCloseButton(QDialog* sheet) {
    auto* close = new QPushButton(catalogueText("uninstall.button.close"));
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, sheet, &QDialog::reject);
    return close;
}

}  // namespace

UninstallSheet::UninstallSheet(UninstallViewModel& uninstall, ChooseBundle chooseBundle,
                               QWidget* parent)
    : QDialog(parent), uninstall_(uninstall), chooseBundle_(std::move(chooseBundle)) {
    setObjectName(QStringLiteral("uninstallSheet"));
    setMinimumSize(560, 420);
    resize(640, 480);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(20, 20, 20, 20);
    rebuild();
    bindings_.onChange(uninstall_, {"phase"}, [this] { rebuild(); });
    bindings_.onChange(uninstall_, {"selectedItemIDs"}, [this] { refreshSelection(); });
    bindings_.onChange(uninstall_, {"applicationQuery"}, [this] { refreshApplications(); });
}

void UninstallSheet::rebuild() {
    items_ = nullptr;
    selectionSize_ = nullptr;
    confirm_ = nullptr;
    applications_ = nullptr;
    next_ = nullptr;
    if (page_ != nullptr) {
        page_->deleteLater();
    }
    const auto& phase = uninstall_.phase();
    if (const auto* ready = std::get_if<UninstallViewModel::Ready>(&phase)) {
        page_ = makeReady(ready->plan);
    } else if (const auto* choosing = std::get_if<UninstallViewModel::Choosing>(&phase)) {
        page_ = makeChoosing(*choosing);
    } else if (const auto* preparing = std::get_if<UninstallViewModel::Preparing>(&phase)) {
        auto* bar = new QProgressBar;
        bar->setRange(0, 0);
        page_ = makeCloseable({}, {}, catalogueText("uninstall.preparing.title"),
                              {bar, makeLabel(qtString(preparing->url.filename().string()),
                                              TextStyle::body, false, colors::secondary())});
    } else if (const auto* running = std::get_if<UninstallViewModel::Uninstalling>(&phase)) {
        auto* bar = new QProgressBar;
        bar->setRange(0, 1000);
        bar->setValue(
            static_cast<int>(progressFraction(running->completed, running->total) * 1000));
        page_ = makeCloseable(
            {}, {}, catalogueText("uninstall.progress.title"),
            {bar, makeLabel(catalogueFormat("delete.progress.count.format",
                                            {static_cast<std::int64_t>(running->completed),
                                             static_cast<std::int64_t>(running->total)}),
                            TextStyle::callout, false, colors::secondary())});
    } else if (const auto* summary = std::get_if<UninstallViewModel::Summary>(&phase)) {
        std::int64_t moved = 0;
        for (const auto& record : summary->report.succeeded) {
            moved += record.sizeInBytes;
        }
        std::vector<QWidget*> lines{makeLabel(
            catalogueCountFormat("uninstall.summary.moved.format",
                                 static_cast<std::int64_t>(summary->report.succeeded.size()),
                                 {static_cast<std::int64_t>(summary->report.succeeded.size()),
                                  stdString(byteCountText(moved))}),
            TextStyle::body)};
        if (!summary->report.failed.empty()) {
            lines.push_back(makeLabel(
                catalogueCountFormat("uninstall.summary.failed.format",
                                     static_cast<std::int64_t>(summary->report.failed.size()),
                                     {static_cast<std::int64_t>(summary->report.failed.size())}),
                TextStyle::body, false, colors::orange()));
        }
        page_ = makeCloseable("checkmark.seal.fill", colors::green(),
                              catalogueText("uninstall.summary.title"), lines);
        addCloseButton();
    } else if (const auto* failed = std::get_if<UninstallViewModel::Failed>(&phase)) {
        page_ = makeCloseable(
            "exclamationmark.triangle.fill", colors::orange(),
            catalogueText("uninstall.failed.title"),
            {makeLabel(qtString(failed->message), TextStyle::body, false, colors::secondary())});
        addCloseButton();
    } else {
        page_ = makeCloseable({}, {}, {},
                              {makeLabel(catalogueText("uninstall.idle.hint"), TextStyle::body,
                                         false, colors::secondary())});
        addCloseButton();
    }
    layout_->addWidget(page_);
    refreshSelection();
    refreshApplications();
}

void UninstallSheet::addCloseButton() {
    auto* layout = page_->layout();
    auto* close = makeCloseButton(this);
    layout->addWidget(close);
    layout->setAlignment(close, Qt::AlignRight);
}

QWidget* UninstallSheet::makeCloseable(std::string_view symbol, const QColor& tint,
                                       const QString& title, const std::vector<QWidget*>& lines) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(14);
    if (!title.isEmpty()) {
        auto* header = new QHBoxLayout;
        if (!symbol.empty()) {
            header->addWidget(makeSymbolLabel(symbol, 28));
        }
        header->addWidget(makeLabel(title, TextStyle::title, true, tint), 1);
        layout->addLayout(header);
    }
    for (auto* line : lines) {
        layout->addWidget(line);
    }
    layout->addStretch();
    return page;
}

QWidget* UninstallSheet::makeReady(const UninstallPlan& plan) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(14);
    auto* header = new QHBoxLayout;
    header->addWidget(makeSymbolLabel("trash.slash", 32), 0, Qt::AlignTop);
    auto* titles = new QVBoxLayout;
    titles->addWidget(makeLabel(catalogueFormat("uninstall.ready.title.format", {plan.displayName}),
                                TextStyle::title, true));
    auto* bundleID = new QLabel(qtString(plan.bundleID));
    bundleID->setFont(monospacedFont(TextStyle::caption));
    titles->addWidget(bundleID);
    header->addLayout(titles, 1);
    std::int64_t total = 0;
    for (const auto& item : plan.items) {
        total += item.sizeInBytes;
    }
    auto* totals = new QVBoxLayout;
    auto* totalSize = new QLabel(byteCountText(total));
    totalSize->setFont(tabularFont(TextStyle::title3));
    totalSize->setAlignment(Qt::AlignRight);
    totals->addWidget(totalSize);
    auto* count = makeLabel(catalogueCountFormat("uninstall.ready.count.format",
                                                 static_cast<std::int64_t>(plan.items.size()),
                                                 {static_cast<std::int64_t>(plan.items.size())}),
                            TextStyle::caption);
    count->setAlignment(Qt::AlignRight);
    totals->addWidget(count);
    header->addLayout(totals);
    layout->addLayout(header);

    items_ = new QTreeWidget;
    items_->setObjectName(QStringLiteral("planItems"));
    items_->setColumnCount(2);
    items_->setHeaderHidden(true);
    items_->setRootIsDecorated(false);
    items_->setAlternatingRowColors(true);
    items_->setMinimumHeight(220);
    items_->setItemDelegateForColumn(0, new ItemRowDelegate(items_));
    items_->header()->setStretchLastSection(false);
    items_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    items_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    for (const auto& item : plan.items) {
        auto* row = new QTreeWidgetItem(items_);
        row->setText(0, qtString(item.displayName));
        row->setData(0, ItemListModel::pathRole, qtString(item.url.string()));
        row->setData(0, kItemIDRole, qtString(item.id.uppercaseString()));
        row->setIcon(0, symbolIcon(item.url == plan.appURL ? "app.badge" : "doc"));
        row->setText(1, byteCountText(item.sizeInBytes));
        row->setFont(1, tabularFont(TextStyle::body));
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Unchecked);
    }
    connect(items_, &QTreeWidget::itemChanged, this, [this, plan](QTreeWidgetItem* row, int) {
        const auto index = items_->indexOfTopLevelItem(row);
        const auto& item = plan.items.at(static_cast<std::size_t>(index));
        const bool wanted = row->checkState(0) == Qt::Checked;
        if (wanted != uninstall_.selectedItemIDs().contains(item.id)) {
            uninstall_.toggleSelection(item.id);
        }
    });
    layout->addWidget(items_, 1);

    auto* footer = new QHBoxLayout;
    selectionSize_ = makeLabel({}, TextStyle::callout);
    footer->addWidget(selectionSize_, 1);
    auto* all = new QPushButton(catalogueText("uninstall.button.selectAll"));
    all->setAutoDefault(false);
    connect(all, &QPushButton::clicked, this, [this] { uninstall_.selectAll(); });
    auto* none = new QPushButton(catalogueText("uninstall.button.selectNone"));
    none->setObjectName(QStringLiteral("selectNoneButton"));
    none->setAutoDefault(false);
    connect(none, &QPushButton::clicked, this, [this] { uninstall_.selectNone(); });
    auto* cancel = new QPushButton(catalogueText("uninstall.button.cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    confirm_ = new QPushButton(symbolIcon("trash"), catalogueText("uninstall.button.confirm"));
    confirm_->setObjectName(QStringLiteral("confirmButton"));
    confirm_->setDefault(true);
    connect(confirm_, &QPushButton::clicked, this, [this] { uninstall_.uninstall(); });
    for (auto* button : {all, none, cancel, confirm_}) {
        footer->addWidget(button);
    }
    layout->addLayout(footer);
    return page;
}

void UninstallSheet::refreshSelection() {
    if (items_ == nullptr) {
        return;
    }
    const QSignalBlocker blocker(items_);
    const auto& selected = uninstall_.selectedItemIDs();
    for (int index = 0; index < items_->topLevelItemCount(); ++index) {
        auto* row = items_->topLevelItem(index);
        const auto id = Uuid::parse(stdString(row->data(0, kItemIDRole).toString()));
        row->setCheckState(0, id && selected.contains(*id) ? Qt::Checked : Qt::Unchecked);
    }
    selectionSize_->setText(catalogueFormat(
        "uninstall.selection.size.format", {stdString(byteCountText(uninstall_.selectedBytes()))}));
    confirm_->setEnabled(uninstall_.canUninstall());
}

}  // namespace quillo::ui
