#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/CleaningModuleID.h"
#include "viewmodels/ScanViewModel.h"

namespace quillo::ui {

/// The result list of one module as a table for Qt's item views: no widget per row, so that
/// a hundred thousand items scroll smoothly. Columns: item (checkbox, symbol, name and path),
/// warnings, size.
class ItemListModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { itemColumn, warningColumn, sizeColumn, columnCount_ };
    enum Role { pathRole = Qt::UserRole + 1 };

    explicit ItemListModel(ScanViewModel& scan, QObject* parent = nullptr);

    /// Lists the module's visible items, or nothing.
    void showModule(std::optional<CleaningModuleID> moduleID);
    /// Re-reads the visible items after the results or the search text changed.
    void reload();
    /// Repaints the checkboxes of rows `first` to `last` after the selection changed: those in
    /// sight. The others read theirs when scrolled in, and telling the view of every row of a
    /// long list made it walk them all.
    void selectionChanged(int first, int last);

    [[nodiscard]] const CleanableItem* itemAt(int row) const;
    [[nodiscard]] std::optional<int> rowOf(const Uuid& id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    [[nodiscard]] bool isFolder(std::size_t row) const;

    ScanViewModel& scan_;
    std::optional<CleaningModuleID> moduleID_;
    enum class Kind : std::uint8_t { unknown, folder, other };

    ScanViewModel::ItemRefs items_;
    // By row, flat: a map with a node per row scrolled past left a hundred thousand small blocks
    // to free at the next search, and the allocator then spent a frame gathering them.
    mutable std::vector<Kind> kinds_;
};

/// The warning titles of `item`, joined by ", ".
QString warningTitles(const CleanableItem& item);

}  // namespace quillo::ui
