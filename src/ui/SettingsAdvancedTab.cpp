#include "ui/SettingsAdvancedTab.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "ui/QtText.h"
#include "ui/SettingsForm.h"
#include "ui/Style.h"
#include "ui/ToggleSwitch.h"

namespace quillo::ui {

SettingsAdvancedTab::SettingsAdvancedTab(AppSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    auto* column = makeFormColumn(this);

    onboarding_ = addSwitchSection(column, "settings.section.onboarding",
                                   "settings.onboarding.toggle", "settings.onboarding.hint");
    connect(onboarding_, &ToggleSwitch::clicked, this,
            [this](bool completed) { settings_.setOnboardingCompleted(completed); });

    auto* reset = addFormSection(column, "settings.section.reset");
    auto* button = new QPushButton(catalogueText("settings.reset.button"));
    button->setObjectName(QStringLiteral("resetButton"));
    button->setAutoDefault(false);
    QPalette destructive = button->palette();
    destructive.setColor(QPalette::ButtonText, colors::red());
    button->setPalette(destructive);
    connect(button, &QPushButton::clicked, this, [this] { settings_.resetAll(); });
    auto* row = new QHBoxLayout;
    row->addWidget(button);
    row->addStretch();
    reset->addLayout(row);

    onboarding_->setChecked(settings_.onboardingCompleted());
    bindings_.onChange(settings_, {"onboardingCompleted"},
                       [this] { onboarding_->setChecked(settings_.onboardingCompleted()); });
}

}  // namespace quillo::ui
