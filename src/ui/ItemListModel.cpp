#include "ui/ItemListModel.h"

#include <QStringList>
#include <algorithm>
#include <filesystem>

#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/Symbols.h"

namespace quillo::ui {

QString warningTitles(const CleanableItem& item) {
    QStringList titles;
    for (const auto warning : item.warnings) {
        titles << catalogueText(label(warning));
    }
    return titles.join(QStringLiteral(", "));
}

ItemListModel::ItemListModel(ScanViewModel& scan, QObject* parent)
    : QAbstractTableModel(parent), scan_(scan) {}

void ItemListModel::showModule(std::optional<CleaningModuleID> moduleID) {
    moduleID_ = moduleID;
    reload();
}

// Asked of the rows being drawn only, once per row: the scan's items do not say.
bool ItemListModel::isFolder(std::size_t row) const {
    if (kinds_[row] == Kind::unknown) {
        std::error_code error;
        kinds_[row] =
            std::filesystem::is_directory(std::filesystem::symlink_status(items_[row]->url, error))
                ? Kind::folder
                : Kind::other;
    }
    return kinds_[row] == Kind::folder;
}

void ItemListModel::reload() {
    beginResetModel();
    if (moduleID_) {
        scan_.visibleItems(*moduleID_, items_);
    } else {
        items_.clear();
    }
    kinds_.assign(items_.size(), Kind::unknown);
    endResetModel();
}

void ItemListModel::selectionChanged(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first <= last) {
        emit dataChanged(index(first, itemColumn), index(last, itemColumn), {Qt::CheckStateRole});
    }
}

const CleanableItem* ItemListModel::itemAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= items_.size()) {
        return nullptr;
    }
    return items_[static_cast<std::size_t>(row)];
}

std::optional<int> ItemListModel::rowOf(const Uuid& id) const {
    for (std::size_t row = 0; row < items_.size(); ++row) {
        if (items_[row]->id == id) {
            return static_cast<int>(row);
        }
    }
    return std::nullopt;
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    const auto* item = itemAt(index.row());
    if (item == nullptr) {
        return {};
    }
    switch (index.column()) {
        case itemColumn:
            switch (role) {
                case Qt::DisplayRole:
                    return qtString(item->displayName);
                case pathRole:
                case Qt::ToolTipRole:
                    return qtString(item->url.string());
                case Qt::CheckStateRole:
                    return scan_.isSelected(item->id) ? Qt::Checked : Qt::Unchecked;
                case Qt::DecorationRole:
                    return symbolIcon(isFolder(static_cast<std::size_t>(index.row())) ? "folder"
                                                                                      : "doc");
                default:
                    return {};
            }
        case warningColumn:
            if (item->warnings.empty()) {
                return {};
            }
            if (role == Qt::DecorationRole) {
                return symbolIcon("exclamationmark.circle.fill");
            }
            if (role == Qt::ToolTipRole) {
                return warningTitles(*item);
            }
            return {};
        case sizeColumn:
            if (role == Qt::DisplayRole) {
                return byteCountText(item->sizeInBytes);
            }
            if (role == Qt::TextAlignmentRole) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (role == Qt::FontRole) {
                return tabularFont(TextStyle::body);
            }
            return {};
        default:
            return {};
    }
}

bool ItemListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const auto* item = itemAt(index.row());
    if (item == nullptr || index.column() != itemColumn || role != Qt::CheckStateRole) {
        return false;
    }
    const bool wanted = value.value<Qt::CheckState>() == Qt::Checked;
    if (wanted != scan_.isSelected(item->id)) {
        scan_.toggleSelection(item->id);
    }
    return true;
}

Qt::ItemFlags ItemListModel::flags(const QModelIndex& index) const {
    auto flags = QAbstractTableModel::flags(index);
    if (index.column() == itemColumn) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

}  // namespace quillo::ui
