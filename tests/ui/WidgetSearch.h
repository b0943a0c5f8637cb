#pragma once

#include <QString>
#include <QWidget>
#include <string_view>

#include "ui/QtText.h"

namespace quillo::ui::testing {

/// The child of `root` of type `Widget` that shows exactly `text`, or null.
template <class Widget>
Widget* findWithText(const QWidget& root, const QString& text) {
    for (auto* widget : root.findChildren<Widget*>()) {
        if (widget->text() == text) {
            return widget;
        }
    }
    return nullptr;
}

/// The child of type `Widget` that shows the catalogue text of `key`, or null.
template <class Widget>
Widget* findWithKey(const QWidget& root, std::string_view key) {
    return findWithText<Widget>(root, catalogueText(key));
}

}  // namespace quillo::ui::testing
