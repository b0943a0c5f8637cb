#include "ui/SettingsForm.h"

#include <QFrame>

#include "ui/Containers.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/ToggleSwitch.h"

namespace quillo::ui {

QVBoxLayout* makeFormColumn(QWidget* tab) {
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 16, 20, 16);
    column->setSpacing(6);
    column->addStretch();
    auto* outer = new QVBoxLayout(tab);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(makeVerticalScrollArea(content));
    return column;
}

QVBoxLayout* addFormSection(QVBoxLayout* column, std::string_view titleKey) {
    // Sections go above the stretch that keeps them at the top.
    const int end = column->count() - 1;
    if (end > 0) {
        column->insertSpacing(end, 12);
    }
    auto* title = makeLabel(catalogueText(titleKey), TextStyle::subheadline, true);
    column->insertWidget(column->count() - 1, title);

    auto* box = new QFrame;
    box->setObjectName(QStringLiteral("formSectionBox"));
    box->setStyleSheet(
        QStringLiteral("#formSectionBox { background: palette(base); "
                       "border: 1px solid palette(midlight); border-radius: 8px; }"));
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(12, 10, 12, 10);
    rows->setSpacing(8);
    column->insertWidget(column->count() - 1, box);
    return rows;
}

ToggleSwitch* addSwitchSection(QVBoxLayout* column, std::string_view sectionKey,
                               std::string_view switchKey, std::string_view hintKey) {
    auto* section = addFormSection(column, sectionKey);
    auto* toggle = new ToggleSwitch(catalogueText(switchKey));
    section->addWidget(toggle);
    section->addWidget(makeHint(hintKey));
    return toggle;
}

QLabel* makeHint(std::string_view key) {
    return makeLabel(catalogueText(key), TextStyle::caption, false, colors::secondary());
}

}  // namespace quillo::ui
