#pragma once

#include <QFrame>
#include <QScrollArea>

namespace quillo::ui {

/// A thin horizontal line between the parts of a view.
QFrame* makeDivider();

/// Scrolls `content` vertically only; the content takes the area's width, so wrapped labels
/// wrap at the visible edge.
QScrollArea* makeVerticalScrollArea(QWidget* content);

}  // namespace quillo::ui
