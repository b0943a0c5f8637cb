#include "ui/ItemRowDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include "ui/ItemListModel.h"
#include "ui/Style.h"

namespace quillo::ui {

void ItemRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString name = cell.text;
    cell.text.clear();
    const auto* style = cell.widget != nullptr ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget);
    const QFont nameFont = font(TextStyle::body);
    const QFont pathFont = font(TextStyle::caption);
    const QFontMetrics nameMetrics(nameFont);
    const QFontMetrics pathMetrics(pathFont);
    const int top =
        textRect.top() + (textRect.height() - nameMetrics.height() - pathMetrics.height()) / 2;
    const bool selected = (cell.state & QStyle::State_Selected) != 0;
    const QColor primary =
        cell.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);

    painter->save();
    painter->setFont(nameFont);
    painter->setPen(primary);
    painter->drawText(QRect(textRect.left(), top, textRect.width(), nameMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      nameMetrics.elidedText(name, Qt::ElideMiddle, textRect.width()));
    painter->setFont(pathFont);
    painter->setPen(selected ? primary : colors::secondary());
    const QString path = index.data(ItemListModel::pathRole).toString();
    painter->drawText(
        QRect(textRect.left(), top + nameMetrics.height(), textRect.width(), pathMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter,
        pathMetrics.elidedText(path, Qt::ElideMiddle, textRect.width()));
    painter->restore();
}

QSize ItemRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const int lines = QFontMetrics(font(TextStyle::body)).height() +
                      QFontMetrics(font(TextStyle::caption)).height() + 8;
    size.setHeight(std::max(size.height(), lines));
    return size;
}

}  // namespace quillo::ui
