#pragma once

#include <QStyledItemDelegate>

namespace quillo::ui {

/// Draws an item cell as two lines: the name, and below it the path in small secondary text.
/// The checkbox and symbol are drawn by the style as usual.
class ItemRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quillo::ui
