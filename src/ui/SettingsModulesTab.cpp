#include "ui/SettingsModulesTab.h"

#include "ui/QtText.h"
#include "ui/SettingsForm.h"
#include "ui/ToggleSwitch.h"

namespace quillo::ui {

SettingsModulesTab::SettingsModulesTab(AppSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    auto* section = addFormSection(makeFormColumn(this), "settings.section.modules.active");
    for (std::size_t index = 0; index < allCleaningModuleIDs.size(); ++index) {
        const CleaningModuleID id = allCleaningModuleIDs[index];
        switches_[index] = new ToggleSwitch(catalogueText(displayName(id)));
        connect(switches_[index], &ToggleSwitch::clicked, this,
                [this, id](bool enabled) { settings_.setModuleEnabled(id, enabled); });
        section->addWidget(switches_[index]);
    }
    showSettings();
    bindings_.onChange(settings_, {"disabledModuleIDs"}, [this] { showSettings(); });
}

void SettingsModulesTab::showSettings() {
    for (std::size_t index = 0; index < allCleaningModuleIDs.size(); ++index) {
        switches_[index]->setChecked(
            !settings_.disabledModuleIDs().contains(allCleaningModuleIDs[index]));
    }
}

}  // namespace quillo::ui
