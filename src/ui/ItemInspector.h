#pragma once

#include <QScrollArea>
#include <filesystem>
#include <functional>

#include "model/CleanableItem.h"

namespace quillo::ui {

/// Details of one found item: name, size, modification date, path (selectable) and its
/// warnings with their symbols; with `showInFileManager`, a button that shows the item there.
class ItemInspector final : public QScrollArea {
    Q_OBJECT

  public:
    explicit ItemInspector(const CleanableItem& item,
                           std::function<void(const std::filesystem::path&)> showInFileManager = {},
                           QWidget* parent = nullptr);
};

/// A date as German text without the time: "14. März 2025".
QString dateText(TimePoint time);

}  // namespace quillo::ui
