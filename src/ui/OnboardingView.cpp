#include "ui/OnboardingView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <string_view>

#include "system/FullDiskAccessProbe.h"
#include "ui/Containers.h"
#include "ui/LocationButton.h"
#include "ui/QtText.h"
#include "ui/Style.h"

namespace quillo::ui {

namespace {

constexpr int kSymbolColumnWidth = 28;
constexpr int kSymbolSize = 22;

struct Bullet {
    std::string_view symbolName;
    std::string_view titleKey;
    std::string_view bodyKey;
};

constexpr std::array kBullets{
    Bullet{"magnifyingglass", "onboarding.bullet.scope.title", "onboarding.bullet.scope.body"},
    Bullet{"lock.shield", "onboarding.bullet.privacy.title", "onboarding.bullet.privacy.body"},
    Bullet{"checkmark.seal", "onboarding.bullet.compliance.title",
           "onboarding.bullet.compliance.body"},
    Bullet{"exclamationmark.triangle", "onboarding.bullet.irreversible.title",
           "onboarding.bullet.irreversible.body"},
};

/// A symbol in the tint colour, centred in its column, beside a title and a text.
QHBoxLayout* makeSymbolRow(std::string_view symbolName, std::string_view titleKey,
                           std::string_view bodyKey) {
    auto* symbolColumn = new QVBoxLayout;
    symbolColumn->setContentsMargins(0, 0, 0, 0);
    symbolColumn->addWidget(makeSymbolLabel(symbolName, kSymbolSize, colors::accent()), 0,
                            Qt::AlignHCenter);
    symbolColumn->addStretch();
    auto* symbolHolder = new QWidget;
    symbolHolder->setFixedWidth(kSymbolColumnWidth);
    symbolHolder->setLayout(symbolColumn);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(makeLabel(catalogueText(titleKey), TextStyle::headline));
    texts->addWidget(
        makeLabel(catalogueText(bodyKey), TextStyle::callout, false, colors::secondary()));

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(symbolHolder);
    row->addLayout(texts, 1);
    return row;
}

QWidget* makeBullets() {
    auto* bullets = new QWidget;
    auto* layout = new QVBoxLayout(bullets);
    layout->setContentsMargins(0, 0, 8, 0);
    layout->setSpacing(16);
    for (const auto& bullet : kBullets) {
        layout->addLayout(makeSymbolRow(bullet.symbolName, bullet.titleKey, bullet.bodyKey));
    }
    layout->addStretch();
    return bullets;
}

QWidget* makeFullDiskAccessBox(OpenLocation openLocation) {
    auto* box = new QFrame;
    box->setObjectName(QStringLiteral("fullDiskAccessBox"));
    box->setStyleSheet(QStringLiteral("#fullDiskAccessBox { background: %1; border-radius: 10px; }")
                           .arg(cssColor(colors::accent(), 0.1)));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    layout->addLayout(makeSymbolRow("externaldrive.badge.checkmark", "onboarding.fda.title",
                                    "onboarding.fda.body"));
    auto* button = makeLocationButton(catalogueText("onboarding.fda.button"),
                                      FullDiskAccessProbe::settingsURL(), std::move(openLocation));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addSpacing(kSymbolColumnWidth + 12);
    buttonRow->addWidget(button);
    buttonRow->addStretch();
    layout->addLayout(buttonRow);
    return box;
}

}  // namespace

OnboardingView::OnboardingView(std::function<void()> onAccept, OpenLocation openLocation,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("onboardingView"));
    setWindowTitle(catalogueText("onboarding.header.title"));
    setFixedSize(560, 600);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 28, 28, 28);
    layout->setSpacing(18);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    header->addWidget(
        makeLabel(catalogueText("onboarding.header.title"), TextStyle::largeTitle, true));
    header->addWidget(makeLabel(catalogueText("onboarding.header.subtitle"), TextStyle::body, false,
                                colors::secondary()));
    layout->addLayout(header);
    layout->addWidget(makeDivider());
    layout->addWidget(makeVerticalScrollArea(makeBullets()), 1);
    layout->addWidget(makeFullDiskAccessBox(std::move(openLocation)));

    auto* accept = new QPushButton(catalogueText("onboarding.button.accept"));
    accept->setObjectName(QStringLiteral("acceptButton"));
    accept->setDefault(true);
    accept->setMinimumHeight(32);
    connect(accept, &QPushButton::clicked, this, [onAccept = std::move(onAccept)] { onAccept(); });
    layout->addWidget(accept, 0, Qt::AlignRight);
}

void OnboardingView::reject() {}

}  // namespace quillo::ui
