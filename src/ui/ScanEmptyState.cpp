#include "ui/ScanEmptyState.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "helper/InstalledHelper.h"
#include "ui/Banner.h"
#include "ui/LocationButton.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/Symbols.h"
#include "ui/SystemFoldersNotice.h"
#include "ui/SystemFoldersSwitch.h"

namespace quillo::ui {

ScanEmptyState::ScanEmptyState(ScanViewModel& scan, AppSettings& settings,
                               std::function<bool()> isSandboxed,
                               std::vector<LeftOutRoot> leftOutRoots, std::function<void()> onScan,
                               OpenLocation openLocation, QWidget* parent)
    : QWidget(parent),
      scan_(scan),
      settings_(settings),
      isSandboxed_(std::move(isSandboxed)),
      leftOutRoots_(std::move(leftOutRoots)),
      onScan_(std::move(onScan)),
      openLocation_(std::move(openLocation)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    content_ = new QWidget;
    layout_ = new QVBoxLayout(content_);
    layout_->setContentsMargins(32, 32, 32, 32);
    layout_->setSpacing(18);
    scroll->setWidget(content_);
    rebuild();
    bindings_.onChange(scan_, {"phase"}, [this] { rebuild(); });
    bindings_.onChange(settings_, {"fullDiskAccessStatus", "disabledModuleIDs"},
                       [this] { rebuild(); });
}

void ScanEmptyState::rebuild() {
    heroBindings_ = {};
    while (auto* entry = layout_->takeAt(0)) {
        delete entry->widget();
        delete entry;
    }
    layout_->addWidget(makeHero());
    if (auto* banner = makeBanner()) {
        layout_->addWidget(banner);
    }
    layout_->addWidget(makeModuleList());
    layout_->addStretch();
}

QWidget* ScanEmptyState::makeHero() {
    const bool completed = std::holds_alternative<ScanViewModel::Completed>(scan_.phase());
    const bool scanning = std::holds_alternative<ScanViewModel::Scanning>(scan_.phase());
    auto* hero = new QWidget;
    auto* layout = new QVBoxLayout(hero);
    layout->setSpacing(10);
    layout->addWidget(makeSymbolLabel("magnifyingglass.circle.fill", 64), 0, Qt::AlignHCenter);
    auto* title = makeLabel(
        catalogueText(completed ? "scanEmpty.hero.title.completed" : "scanEmpty.hero.title.ready"),
        TextStyle::title, true);
    title->setAlignment(Qt::AlignHCenter);
    layout->addWidget(title);
    auto* body = makeLabel(
        completed ? catalogueText("scanEmpty.hero.body.completed")
                  : catalogueCountFormat("scanEmpty.hero.body.ready.format",
                                         static_cast<std::int64_t>(scan_.descriptors().size()),
                                         {static_cast<std::int64_t>(scan_.descriptors().size())}),
        TextStyle::body, false, colors::secondary());
    body->setAlignment(Qt::AlignHCenter);
    layout->addWidget(body);
    auto* button = new QPushButton(
        symbolIcon("play.fill"),
        catalogueText(scanning ? "scanEmpty.button.scanning" : "scanEmpty.button.scanNow"));
    button->setObjectName(QStringLiteral("scanNowButton"));
    button->setDefault(true);
    button->setMinimumHeight(32);
    connect(button, &QPushButton::clicked, this, [this] { onScan_(); });
    layout->addWidget(button, 0, Qt::AlignHCenter);
    if (needsAdministratorHelper()) {
        layout->addWidget(makeSystemFoldersSwitch(settings_, heroBindings_), 0, Qt::AlignHCenter);
    }
    return hero;
}

QWidget* ScanEmptyState::makeBanner() {
    if (isSandboxed_()) {
        return scan_.hasAvailableModule()
                   ? ui::makeBanner("info.circle.fill",
                                    catalogueText("scanEmpty.sandbox.info.title"),
                                    catalogueText("scanEmpty.sandbox.info.body"))
                   : ui::makeBanner("lock.shield.fill",
                                    catalogueText("scanEmpty.sandbox.blocked.title"),
                                    catalogueText("scanEmpty.sandbox.blocked.body"));
    }
    if (scan_.accessScope() == FullDiskAccessProbe::AccessScope::rootFolders) {
        return makeSystemFoldersNotice(leftOutRoots_, scan_.descriptors());
    }
    if (settings_.fullDiskAccessStatus() == FullDiskAccessProbe::Status::granted) {
        return nullptr;
    }
    auto* buttons = new QHBoxLayout;
    auto* allow = makeLocationButton(catalogueText("scanEmpty.fda.button.allow"),
                                     FullDiskAccessProbe::settingsURL(), openLocation_);
    auto* recheck = new QPushButton(catalogueText("scanEmpty.fda.button.recheck"));
    recheck->setObjectName(QStringLiteral("recheckButton"));
    connect(recheck, &QPushButton::clicked, this,
            [this] { settings_.refreshFullDiskAccessStatus(); });
    buttons->addWidget(allow);
    buttons->addWidget(recheck);
    buttons->addStretch();
    auto* banner = ui::makeBanner("lock.shield.fill", catalogueText("scanEmpty.fda.title"),
                                  catalogueText("scanEmpty.fda.body"), buttons);
    banner->setObjectName(QStringLiteral("fullDiskAccessBanner"));
    return banner;
}

QWidget* ScanEmptyState::makeModuleList() {
    auto* layout = new QVBoxLayout;
    layout->setSpacing(8);
    layout->addWidget(
        makeLabel(catalogueText("scanEmpty.modules.heading"), TextStyle::headline, true));
    const bool sandboxed = isSandboxed_();
    for (const auto& descriptor : scan_.enabledDescriptors()) {
        const bool available = scan_.isAvailable(descriptor);
        auto* line = new QWidget;
        auto* row = new QHBoxLayout(line);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(makeSymbolLabel(descriptor.symbolName, 18));
        row->addWidget(makeLabel(catalogueText(descriptor.displayName), TextStyle::callout), 1);
        if (!available) {
            auto* dimmed = new QGraphicsOpacityEffect(line);
            dimmed->setOpacity(0.55);
            line->setGraphicsEffect(dimmed);
            auto* lock = makeSymbolLabel("lock.shield", 14);
            const auto reason = catalogueText(sandboxed ? "scanEmpty.module.unavailable.sandbox"
                                                        : "scanEmpty.module.unavailable.fda");
            lock->setToolTip(reason);
            row->addWidget(lock);
            row->addWidget(makeLabel(reason, TextStyle::caption, false, colors::secondary()));
        }
        layout->addWidget(line);
    }
    return makeBox(colors::secondary(), 0.06, layout);
}

}  // namespace quillo::ui
