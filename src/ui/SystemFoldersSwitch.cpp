#include "ui/SystemFoldersSwitch.h"

#include "ui/QtText.h"

namespace quillo::ui {

ToggleSwitch* makeSystemFoldersSwitch(AppSettings& settings, Bindings& bindings) {
    auto* toggle = new ToggleSwitch(catalogueText("helper.systemFolders.include"));
    toggle->setObjectName(QStringLiteral("systemFoldersSwitch"));
    toggle->setChecked(settings.includeSystemFolders());
    QObject::connect(toggle, &ToggleSwitch::clicked, toggle,
                     [&settings](bool checked) { settings.setIncludeSystemFolders(checked); });
    bindings.onChange(settings, {"includeSystemFolders"},
                      [toggle, &settings] { toggle->setChecked(settings.includeSystemFolders()); });
    return toggle;
}

}  // namespace quillo::ui
