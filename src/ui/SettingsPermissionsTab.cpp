#include "ui/SettingsPermissionsTab.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <string_view>

#include "helper/InstalledHelper.h"
#include "ui/LocationButton.h"
#include "ui/QtText.h"
#include "ui/SettingsForm.h"
#include "ui/Style.h"
#include "ui/SystemFoldersSwitch.h"

namespace quillo::ui {

namespace {

constexpr int kSymbolSize = 16;

struct StatusLook {
    std::string_view symbolName;
    QColor color;
};

StatusLook look(FullDiskAccessProbe::Status status) {
    switch (status) {
        case FullDiskAccessProbe::Status::granted:
            return {"checkmark.circle.fill", colors::green()};
        case FullDiskAccessProbe::Status::denied:
            return {"xmark.octagon.fill", colors::orange()};
        case FullDiskAccessProbe::Status::undetermined:
            break;
    }
    return {"questionmark.circle.fill", colors::secondary()};
}

}  // namespace

SettingsPermissionsTab::SettingsPermissionsTab(AppSettings& settings, OpenLocation openLocation,
                                               QWidget* parent)
    : QWidget(parent), settings_(settings) {
    auto* column = makeFormColumn(this);
    auto* section = addFormSection(column, "settings.section.fda");

    auto* status = new QHBoxLayout;
    status->addWidget(makeLabel(catalogueText("settings.fda.status.label"), TextStyle::body));
    status->addStretch();
    statusSymbol_ = new QLabel;
    statusSymbol_->setFixedSize(kSymbolSize, kSymbolSize);
    statusText_ = makeLabel({}, TextStyle::body);
    statusText_->setObjectName(QStringLiteral("fullDiskAccessStatus"));
    statusText_->setWordWrap(false);
    status->addWidget(statusSymbol_);
    status->addWidget(statusText_);
    section->addLayout(status);
    section->addWidget(makeHint("settings.fda.hint"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeLocationButton(catalogueText("settings.fda.openSettings"),
                                          FullDiskAccessProbe::settingsURL(),
                                          std::move(openLocation)));
    auto* recheck = new QPushButton(catalogueText("settings.fda.recheck"));
    recheck->setAutoDefault(false);
    connect(recheck, &QPushButton::clicked, this,
            [this] { settings_.refreshFullDiskAccessStatus(); });
    buttons->addWidget(recheck);
    buttons->addStretch();
    section->addLayout(buttons);

    if (needsAdministratorHelper()) {
        auto* systemFolders = addFormSection(column, "helper.systemFolders.section");
        systemFolders->addWidget(makeSystemFoldersSwitch(settings_, bindings_));
        systemFolders->addWidget(makeHint("helper.systemFolders.hint"));
    }

    showStatus();
    bindings_.onChange(settings_, {"fullDiskAccessStatus"}, [this] { showStatus(); });
}

void SettingsPermissionsTab::showStatus() {
    const auto status = settings_.fullDiskAccessStatus();
    const auto [symbolName, color] = look(status);
    setSymbol(statusSymbol_, symbolName, color);
    statusText_->setText(catalogueText(FullDiskAccessProbe::label(status)));
    QPalette palette = statusText_->palette();
    palette.setColor(QPalette::WindowText, color);
    statusText_->setPalette(palette);
}

}  // namespace quillo::ui
