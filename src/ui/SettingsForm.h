#pragma once

#include <QLabel>
#include <QVBoxLayout>
#include <string_view>

// The grouped form every settings tab is laid out as: captioned sections of rounded boxes,
// scrolling when the tab is too short for them.
namespace quillo::ui {

/// Lays `tab` out as a grouped form and returns the column its sections go into.
QVBoxLayout* makeFormColumn(QWidget* tab);

/// Adds a section headed by the catalogue text of `titleKey` below the column's sections and
/// returns the layout of its box.
QVBoxLayout* addFormSection(QVBoxLayout* column, std::string_view titleKey);

/// The secondary caption that explains the control above it.
QLabel* makeHint(std::string_view key);

}  // namespace quillo::ui
