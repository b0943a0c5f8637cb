#pragma once

#include <QLabel>
#include <QVBoxLayout>
#include <string_view>

// The grouped form every settings tab is laid out as: captioned sections of rounded boxes,
// scrolling when the tab is too short for them.
namespace quillo::ui {

class ToggleSwitch;

/// Lays `tab` out as a grouped form and returns the column its sections go into.
QVBoxLayout* makeFormColumn(QWidget* tab);

/// Adds a section headed by the catalogue text of `titleKey` below the column's sections and
/// returns the layout of its box.
QVBoxLayout* addFormSection(QVBoxLayout* column, std::string_view titleKey);

/// Adds a section holding one switch titled by `switchKey`, explained by `hintKey` below it.
ToggleSwitch* addSwitchSection(QVBoxLayout* column, std::string_view sectionKey,
                               std::string_view switchKey, std::string_view hintKey);

/// The secondary caption that explains the control above it.
QLabel* makeHint(std::string_view key);

}  // namespace quillo::ui
