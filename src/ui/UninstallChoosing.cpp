// The uninstall sheet's first page: the installed packaged applications.
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/ItemListModel.h"
#include "ui/ItemRowDelegate.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/Symbols.h"
#include "ui/UninstallSheet.h"

namespace quillo::ui {

namespace {

QIcon applicationIcon(const platform::PackagedApplication& app) {
    QIcon icon(qtString(app.icon.string()));
    return app.icon.empty() || icon.isNull() ? symbolIcon("app.badge") : icon;
}

}  // namespace

QWidget* UninstallSheet::makeChoosing(const UninstallViewModel::Choosing& choosing) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(14);
    auto* header = new QHBoxLayout;
    header->addWidget(makeSymbolLabel("xmark.bin", 28));
    header->addWidget(makeLabel(catalogueText("uninstall.choose.title"), TextStyle::title, true),
                      1);
    layout->addLayout(header);
    if (choosing.loading) {
        auto* bar = new QProgressBar;
        bar->setRange(0, 0);
        layout->addWidget(bar);
        layout->addWidget(makeLabel(catalogueText("uninstall.choose.loading"), TextStyle::body,
                                    false, colors::secondary()));
        layout->addStretch();
    } else if (choosing.apps.empty()) {
        auto* none = makeLabel(catalogueText("uninstall.choose.empty"), TextStyle::body, false,
                               colors::secondary());
        none->setWordWrap(true);
        layout->addWidget(none);
        layout->addStretch();
    } else {
        auto* search = new QLineEdit(qtString(uninstall_.applicationQuery()));
        search->setObjectName(QStringLiteral("applicationSearch"));
        search->setPlaceholderText(catalogueText("uninstall.choose.search.placeholder"));
        search->setClearButtonEnabled(true);
        connect(search, &QLineEdit::textChanged, this,
                [this](const QString& query) { uninstall_.setApplicationQuery(stdString(query)); });
        layout->addWidget(search);
        applications_ = new QTreeWidget;
        applications_->setObjectName(QStringLiteral("installedApplications"));
        applications_->setColumnCount(3);
        applications_->setHeaderHidden(true);
        applications_->setRootIsDecorated(false);
        applications_->setAlternatingRowColors(true);
        applications_->setIconSize(QSize(32, 32));
        applications_->setMinimumHeight(220);
        applications_->setItemDelegateForColumn(0, new ItemRowDelegate(applications_));
        applications_->header()->setStretchLastSection(false);
        applications_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        applications_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        applications_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
        connect(applications_, &QTreeWidget::itemSelectionChanged, this,
                [this] { next_->setEnabled(!applications_->selectedItems().isEmpty()); });
        connect(applications_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* row) {
            const auto index = applications_->indexOfTopLevelItem(row);
            uninstall_.prepare(shownApplications_.at(static_cast<std::size_t>(index)));
        });
        layout->addWidget(applications_, 1);
    }

    auto* footer = new QHBoxLayout;
    footer->addStretch();
    if (chooseBundle_) {
        auto* bundle = new QPushButton(catalogueText("uninstall.choose.bundle"));
        bundle->setObjectName(QStringLiteral("chooseBundleButton"));
        bundle->setAutoDefault(false);
        connect(bundle, &QPushButton::clicked, this, [this] {
            if (const auto chosen = chooseBundle_(this)) {
                uninstall_.prepare(*chosen);
            }
        });
        footer->addWidget(bundle);
    }
    auto* cancel = new QPushButton(catalogueText("uninstall.button.cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    footer->addWidget(cancel);
    next_ = new QPushButton(catalogueText("uninstall.choose.next"));
    next_->setObjectName(QStringLiteral("nextButton"));
    next_->setDefault(true);
    next_->setEnabled(false);
    connect(next_, &QPushButton::clicked, this, [this] {
        const auto selected =
            applications_ != nullptr ? applications_->selectedItems() : QList<QTreeWidgetItem*>{};
        if (!selected.isEmpty()) {
            const auto index = applications_->indexOfTopLevelItem(selected.front());
            uninstall_.prepare(shownApplications_.at(static_cast<std::size_t>(index)));
        }
    });
    footer->addWidget(next_);
    layout->addLayout(footer);
    return page;
}

void UninstallSheet::refreshApplications() {
    if (applications_ == nullptr) {
        return;
    }
    shownApplications_ = uninstall_.shownApplications();
    applications_->clear();
    for (const auto& app : shownApplications_) {
        auto* row = new QTreeWidgetItem(applications_);
        row->setText(0, qtString(app.name));
        row->setData(0, ItemListModel::pathRole, qtString(app.id));
        row->setIcon(0, applicationIcon(app));
        row->setText(1, qtString(app.kind == platform::PackageKind::snap
                                     ? std::string("Snap")
                                     : "Flatpak · " + app.installationLabel));
        row->setForeground(1, colors::secondary());
        row->setText(2, byteCountText(app.sizeInBytes));
        row->setFont(2, tabularFont(TextStyle::body));
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    next_->setEnabled(false);
}

}  // namespace quillo::ui
