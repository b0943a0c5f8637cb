#include "ui/PrivacyAuditSheet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringList>
#include <QToolButton>
#include <QVBoxLayout>

#include "system/FullDiskAccessProbe.h"
#include "ui/Containers.h"
#include "ui/FlowHStack.h"
#include "ui/Notice.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/Symbols.h"

namespace quillo::ui {

namespace {

QToolButton* makeChip(std::string_view symbol, const QString& title) {
    auto* chip = new QToolButton;
    chip->setIcon(symbolIcon(symbol));
    chip->setText(title);
    chip->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    chip->setAutoRaise(true);
    return chip;
}

void styleChip(QToolButton* chip, bool chosen) {
    chip->setStyleSheet(
        QStringLiteral("QToolButton { background: %1; border: none; "
                       "border-radius: 11px; padding: 3px 10px; }")
            .arg(chosen ? cssColor(colors::accent(), 0.2) : cssColor(colors::secondary(), 0.08)));
}

// A chip that opens nothing looks the same when pressed, so that it does not pass for a link.
QToolButton* makePermissionButton(const DeclaredPermission& declaration, bool opensLink) {
    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("permission.") +
                          qtString(rawValue(declaration.permission)));
    button->setIcon(symbolIcon(symbolName(declaration.permission)));
    button->setText(catalogueText(label(declaration.permission)));
    button->setFont(ui::font(TextStyle::caption));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setToolTip(declaration.usageDescription.empty()
                           ? catalogueText("privacy.audit.noRationale")
                           : qtString(declaration.usageDescription));
    const QString chip = QStringLiteral(
                             "background: %1; border: none; border-radius: 6px; "
                             "padding: 2px 6px;")
                             .arg(cssColor(colors::accent(), 0.12));
    button->setStyleSheet(
        opensLink ? QStringLiteral("QToolButton { %1 }").arg(chip)
                  : QStringLiteral("QToolButton, QToolButton:hover, QToolButton:pressed { %1 }")
                        .arg(chip));
    if (!opensLink) {
        button->setFocusPolicy(Qt::NoFocus);
    }
    return button;
}

}  // namespace

PrivacyAuditSheet::PrivacyAuditSheet(PrivacyAuditViewModel& audit, OpenLocation openLocation,
                                     QWidget* parent)
    : QDialog(parent), audit_(audit), openLocation_(std::move(openLocation)) {
    setObjectName(QStringLiteral("privacyAuditSheet"));
    setWindowTitle(catalogueText("privacy.audit.title"));
    setMinimumSize(640, 480);
    resize(780, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    auto* header = new QHBoxLayout;
    header->addWidget(makeSymbolLabel("lock.shield", 28));
    header->addWidget(makeLabel(catalogueText("privacy.audit.title"), TextStyle::title, true), 1);
    layout->addLayout(header);
    layout->addWidget(makeLabel(catalogueText("privacy.audit.description"), TextStyle::callout,
                                false, colors::secondary()));
    layout->addWidget(makeDivider());
    body_ = new QVBoxLayout;
    layout->addLayout(body_, 1);

    auto* footer = new QHBoxLayout;
    footer_ = makeLabel({}, TextStyle::caption, false, colors::secondary());
    footer_->setObjectName(QStringLiteral("footerLabel"));
    footer->addWidget(footer_, 1);
    auto* start = new QPushButton(catalogueText("privacy.audit.button.start"));
    start->setObjectName(QStringLiteral("startButton"));
    start->setAutoDefault(false);
    connect(start, &QPushButton::clicked, this, [this] { audit_.startAudit(); });
    footer->addWidget(start);
    auto* close = new QPushButton(catalogueText("privacy.audit.button.close"));
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    footer->addWidget(close);
    layout->addLayout(footer);

    rebuild();
    bindings_.onChange(audit_, {"phase"}, [this] { rebuild(); });
    bindings_.onChange(audit_, {"selectedFilter", "searchQuery"}, [this] { refreshFilter(); });
}

void PrivacyAuditSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (std::holds_alternative<PrivacyAuditViewModel::Idle>(audit_.phase())) {
        audit_.startAudit();
    }
}

void PrivacyAuditSheet::rebuild() {
    chips_.clear();
    apps_ = nullptr;
    if (page_ != nullptr) {
        page_->deleteLater();
    }
    const auto& phase = audit_.phase();
    if (std::holds_alternative<PrivacyAuditViewModel::Scanning>(phase)) {
        page_ = new QWidget;
        auto* layout = new QVBoxLayout(page_);
        layout->addStretch();
        auto* spinner = new QProgressBar;
        spinner->setRange(0, 0);
        spinner->setMaximumWidth(240);
        layout->addWidget(spinner, 0, Qt::AlignHCenter);
        auto* text = makeLabel(catalogueText("privacy.audit.scanning"), TextStyle::body, false,
                               colors::secondary());
        text->setAlignment(Qt::AlignHCenter);
        layout->addWidget(text);
        layout->addStretch();
    } else if (const auto* failed = std::get_if<PrivacyAuditViewModel::Failed>(&phase)) {
        page_ = new Notice("exclamationmark.triangle", catalogueText("privacy.audit.failed.title"),
                           qtString(failed->message));
    } else if (const auto* ready = std::get_if<PrivacyAuditViewModel::Ready>(&phase)) {
        // An empty list is good news only when something was looked at.
        if (!ready->apps.empty()) {
            page_ = makeReady();
        } else if (ready->examined == 0) {
            page_ = new Notice("questionmark.circle.fill",
                               catalogueText("privacy.audit.nothingExamined.title"),
                               catalogueText("privacy.audit.nothingExamined.body"));
        } else {
            page_ = new Notice("checkmark.seal", catalogueText("privacy.audit.empty.title"),
                               catalogueText("privacy.audit.empty.body"));
        }
    } else {
        page_ = new Notice("magnifyingglass", catalogueText("privacy.audit.idle.title"),
                           catalogueText("privacy.audit.idle.start"));
    }
    page_->setObjectName(QStringLiteral("auditPage"));
    body_->addWidget(page_);
    refreshFilter();
}

QWidget* PrivacyAuditSheet::makeReady() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    auto* search = new QLineEdit(qtString(audit_.searchQuery()));
    search->setObjectName(QStringLiteral("auditSearchField"));
    search->setPlaceholderText(catalogueText("privacy.audit.search.placeholder"));
    search->setClearButtonEnabled(true);
    search->setFixedWidth(220);
    connect(search, &QLineEdit::textChanged, this,
            [this](const QString& query) { audit_.setSearchQuery(stdString(query)); });
    bar->addWidget(search);
    bar->addWidget(makeChips(), 1);
    layout->addLayout(bar);
    layout->addWidget(makeDivider());
    auto* list = new QWidget;
    apps_ = new QVBoxLayout(list);
    apps_->setSpacing(12);
    layout->addWidget(makeVerticalScrollArea(list), 1);
    return page;
}

void PrivacyAuditSheet::refreshFilter() {
    footer_->setText(qtString(audit_.footerText()));
    for (const auto& [permission, chip] : chips_) {
        styleChip(chip, permission == audit_.selectedFilter());
    }
    if (apps_ != nullptr) {
        refreshApps();
    }
}

QWidget* PrivacyAuditSheet::makeChips() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* all = makeChip("list.bullet", catalogueText("privacy.audit.chip.all"));
    all->setObjectName(QStringLiteral("chip.all"));
    connect(all, &QToolButton::clicked, this, [this] { audit_.clearFilter(); });
    layout->addWidget(all);
    chips_.emplace_back(std::nullopt, all);
    for (const auto permission : allPrivacyPermissions) {
        const auto count = audit_.count(permission);
        if (count == 0) {
            continue;
        }
        auto* chip = makeChip(symbolName(permission),
                              catalogueText(label(permission)) +
                                  QStringLiteral(" (%1)").arg(static_cast<qulonglong>(count)));
        chip->setObjectName(QStringLiteral("chip.") + qtString(rawValue(permission)));
        connect(chip, &QToolButton::clicked, this,
                [this, permission] { audit_.toggleFilter(permission); });
        layout->addWidget(chip);
        chips_.emplace_back(permission, chip);
    }
    layout->addStretch();
    auto* scroller = new QScrollArea;
    scroller->setWidget(row);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    scroller->setFixedHeight(row->sizeHint().height() +
                             scroller->horizontalScrollBar()->sizeHint().height());
    return scroller;
}

void PrivacyAuditSheet::refreshApps() {
    while (QLayoutItem* item = apps_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const auto& app : audit_.filteredApps()) {
        apps_->addWidget(makeAppEntry(app));
    }
    apps_->addStretch();
}

QWidget* PrivacyAuditSheet::makeAppEntry(const InstalledApp& app) {
    auto* entry = new QWidget;
    entry->setObjectName(QStringLiteral("auditedApp"));
    auto* layout = new QVBoxLayout(entry);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* header = new QHBoxLayout;
    header->addWidget(makeSymbolLabel("app.dashed", 18));
    header->addWidget(makeLabel(qtString(app.displayName), TextStyle::callout, true));
    const auto identity =
        app.installation.empty() ? app.bundleID : app.bundleID + " · " + app.installation;
    auto* bundleID = makeLabel(qtString(identity), TextStyle::caption, false, colors::secondary());
    bundleID->setFont(monospacedFont(TextStyle::caption));
    header->addWidget(bundleID, 1);
    auto* count = new QLabel(QString::number(app.declaredPermissions.size()));
    count->setFont(tabularFont(TextStyle::caption));
    count->setStyleSheet(QStringLiteral("color: %1;").arg(cssColor(colors::secondary())));
    header->addWidget(count);
    layout->addLayout(header);
    auto* permissions = new FlowHStack(6);
    for (const auto& declaration : app.declaredPermissions) {
        // The permission pages are the platform's settings; where it has none, nothing opens.
        const bool opensLink = FullDiskAccessProbe::settingsURL().has_value();
        auto* button = makePermissionButton(declaration, opensLink);
        if (opensLink) {
            connect(button, &QToolButton::clicked, this,
                    [this, permission = declaration.permission] {
                        openLocation_(settingsLink(permission));
                    });
        }
        permissions->addWidget(button);
    }
    layout->addLayout(permissions);
    // A sandbox permission's line is its whole rationale, short enough to be shown at once.
    if (!app.installation.empty()) {
        QStringList lines;
        for (const auto& declaration : app.declaredPermissions) {
            lines << catalogueText(label(declaration.permission)) + QStringLiteral(": ") +
                         qtString(declaration.usageDescription);
        }
        auto* rationale = makeLabel(lines.join(QStringLiteral("\n")), TextStyle::caption, false,
                                    colors::secondary());
        rationale->setObjectName(QStringLiteral("rationaleLines"));
        rationale->setFont(monospacedFont(TextStyle::caption));
        rationale->setWordWrap(true);
        layout->addWidget(rationale);
    }
    return entry;
}

}  // namespace quillo::ui
