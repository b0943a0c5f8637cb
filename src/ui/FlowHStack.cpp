#include "ui/FlowHStack.h"

#include <QWidget>
#include <algorithm>

namespace quillo::ui {

FlowHStack::FlowHStack(int spacing, QWidget* parent) : QLayout(parent) {
    setSpacing(spacing);
    setContentsMargins(0, 0, 0, 0);
}

FlowHStack::~FlowHStack() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void FlowHStack::addItem(QLayoutItem* item) {
    items_.append(item);
}

int FlowHStack::count() const {
    return static_cast<int>(items_.size());
}

QLayoutItem* FlowHStack::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* FlowHStack::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

Qt::Orientations FlowHStack::expandingDirections() const {
    return {};
}

bool FlowHStack::hasHeightForWidth() const {
    return true;
}

int FlowHStack::heightForWidth(int width) const {
    return withMargins(fitsInOneRow(width) ? rowSize() : columnSize()).height();
}

QSize FlowHStack::sizeHint() const {
    return withMargins(rowSize());
}

QSize FlowHStack::minimumSize() const {
    return withMargins(columnSize());
}

bool FlowHStack::fitsInOneRow(int width) const {
    return withMargins(rowSize()).width() <= width;
}

void FlowHStack::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect area = contentsRect();
    const bool row = fitsInOneRow(rect.width());
    const int rowHeight = rowSize().height();
    int x = area.x();
    int y = area.y();
    for (auto* item : items_) {
        const QSize size = item->sizeHint();
        if (row) {
            item->setGeometry(QRect(QPoint(x, area.y() + (rowHeight - size.height()) / 2), size));
            x += size.width() + spacing();
        } else {
            item->setGeometry(QRect(QPoint(area.x(), y),
                                    QSize(std::min(size.width(), area.width()), size.height())));
            y += size.height() + spacing();
        }
    }
}

QSize FlowHStack::rowSize() const {
    int width = 0;
    int height = 0;
    for (const auto* item : items_) {
        const QSize size = item->sizeHint();
        width += size.width();
        height = std::max(height, size.height());
    }
    return {width + spacing() * std::max(0, count() - 1), height};
}

QSize FlowHStack::columnSize() const {
    int width = 0;
    int height = 0;
    for (const auto* item : items_) {
        const QSize size = item->sizeHint();
        width = std::max(width, size.width());
        height += size.height();
    }
    return {width, height + spacing() * std::max(0, count() - 1)};
}

QSize FlowHStack::withMargins(QSize size) const {
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

}  // namespace quillo::ui
